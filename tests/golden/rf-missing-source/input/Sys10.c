// only the system file is here
