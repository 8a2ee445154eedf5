#define MODE fast
#define LEVEL 3
#define BLANK
#IF MODE slow fast
int if_words = 1;
#ENDIF
#IF MODE slow
int if_not_taken = 1;
#ELSE
int if_else = 1;
#ENDIF
#IFNOT MODE slow
int ifnot_taken = 1;
#ENDIF
#IFLESS LEVEL 4 5
int less = 1;
#ENDIF
#IFLESS LEVEL 5 3
int less_no = 1;
#ENDIF
#IFGREATER LEVEL 2
int greater = 1;
#ENDIF
#IFLESSOREQUAL LEVEL 3
int less_or_equal = 1;
#ENDIF
#IFGREATEROREQUAL LEVEL 4
int greater_or_equal_no = 1;
#ENDIF
#IFLESS LEVEL
int no_words = 1;
#ENDIF
#IF BLANK
int blank = 1;
#ENDIF
#IF LEVEL 1,3
int comma_no = 1;
#ENDIF
#IF LEVEL 9
#IF LEVEL 3
int nested_no = 1;
#ELSE
int nested_else_no = 1;
#ENDIF
#include "never.h"
#define LEVEL 9
#ELSE
int outer_else = LEVEL;
#ENDIF
#IF MODE fast
int flip1 = 1;
#ELSE
int flip2 = 1;
#ELSE
int flip3 = 1;
#ENDIF
