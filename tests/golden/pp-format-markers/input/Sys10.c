int sys10 = 10;
int sys11 = 11;
