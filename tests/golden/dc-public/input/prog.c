struct S { int a; };
public int *p;
public char buf[16];
public struct S s;
public int n = 3;
public long q[2] = {1}, r;
fixed public int f;
extern public int e;
public int m[2][3];
