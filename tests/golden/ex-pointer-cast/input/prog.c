long big = 72623859790382856;
long *lp;
int *ip;
char *cp;
int r;
void main() {
  lp = &big;
  r = *(char*)lp;
  r = *((char*)lp + 1);
  r = *((int*)lp + 1);
  r = *(long*)cp;
  cp = (char*)lp;
  r = (int)lp + 1;
  r = (char*)ip - (char*)lp;
}
