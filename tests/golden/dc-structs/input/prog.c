struct S { int a; char b; };
struct S x = {1, 2};
struct S y[2] = {1, 2, 3, 4};
struct T { char c; struct S s; int *p, q[3]; } t = {1, 2, 3};
struct U { long l; int i; } u = {5, 6};
struct S *ps;
struct S arr[3];
public struct S g;
struct S z = {7};
