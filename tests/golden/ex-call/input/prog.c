int b;
f(b, 2);
f(b, 2);
