int o = 1;
/* never closed
int hidden = 1;
