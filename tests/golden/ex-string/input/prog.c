char *x;
x = "hi";
