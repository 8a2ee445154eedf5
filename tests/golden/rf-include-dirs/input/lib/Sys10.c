// system definitions, kept once for the team
int sysvar;
