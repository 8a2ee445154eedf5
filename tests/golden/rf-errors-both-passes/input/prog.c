#ENDIF
int a;
#IF NOPE 1
void main() {
  a = count_func_x;
}
#IF
