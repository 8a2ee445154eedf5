int a = 1;
