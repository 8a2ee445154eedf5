int g[2*3][4];
char h[10-2];
char *names[3];
long big[2] = {1, 2};
int cube[2][2][2] = {{{1,2},{3,4}},{{5,6},{7,8}}};
char msg[8] = "hi";
public int g2[2 + 3];
