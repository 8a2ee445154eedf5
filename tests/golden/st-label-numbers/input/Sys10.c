// system definitions
