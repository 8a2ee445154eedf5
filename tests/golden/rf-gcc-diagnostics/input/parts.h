int x;

int w w;
