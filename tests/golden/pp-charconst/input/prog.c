char a = 'A';
int c = 'A' + 'b';
char d = 'd';
char q = ''';
char n = '\n'; char z = 'Z';
char y = 'Y'; char t = '\t';
