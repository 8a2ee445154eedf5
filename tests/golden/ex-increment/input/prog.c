int i;
i++;
