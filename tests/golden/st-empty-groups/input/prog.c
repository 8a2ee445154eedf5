int x;
int f() {
  x = 1; return ();
}
void g() {
  return ();
  if () {
    x = 2;
  }
  if ( ) {
  }
  while () {
    break;
  }
  switch () {
    case 1:
      x = 3;
  }
  do {
    x = 4;
  } while ();
  for (;;) {
    break;
  }
  if (x) {
  }
}
