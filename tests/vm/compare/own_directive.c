// expect 2 cannot be built as C: line 3 holds the language's own directive #IF
#define MODE 1
#IF MODE
int x;
#ENDIF
void main() {
}
