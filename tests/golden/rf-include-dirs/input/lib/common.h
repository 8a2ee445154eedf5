int shared;
