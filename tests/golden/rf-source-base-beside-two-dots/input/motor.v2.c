int v2;
int main()
{
  return 0;
}
