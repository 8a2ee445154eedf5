// system definitions
