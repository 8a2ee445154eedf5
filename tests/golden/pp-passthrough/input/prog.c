#define N 5
#if N
#ifdef N
#pragma N
#undef N
#IF
#Define N 6
#includes "x.h"
int a = N;
