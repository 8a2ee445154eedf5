int a;
#include "/proc/self/mem"
int main()
{
  return 0;
}
