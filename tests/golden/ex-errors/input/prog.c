int x;
x = a ? 1 : 2;
x = (1;
x = *5;
x = y;
