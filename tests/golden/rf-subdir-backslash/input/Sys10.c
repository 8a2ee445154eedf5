int wrong;
