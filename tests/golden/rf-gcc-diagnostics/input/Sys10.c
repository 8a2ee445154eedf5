// system definitions
int sysvar;
