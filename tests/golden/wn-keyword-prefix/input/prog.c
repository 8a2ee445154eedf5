int do_step;
int if_ready;
int value;
int main() {
  do_step = 1;
  if_ready = 2;
  value = do_step + if_ready;
  int_count = 3;
  break_now = 4;
  return_value = 5;
  return (value);
}
void other() {
  public_x = 1;
  void_x = 2;
  doit = 3;
  integer = 4;
  extern_y = 5;
}
