int x;
x = 5;
