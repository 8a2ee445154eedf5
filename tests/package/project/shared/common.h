int scale;
