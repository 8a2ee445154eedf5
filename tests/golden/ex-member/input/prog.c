struct S { int a; int b; int x; } s;
s.x;
