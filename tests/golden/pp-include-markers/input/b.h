int b1 = 1;
int b2 = 2;