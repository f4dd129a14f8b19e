# Empty dependencies file for readers.
# This may be replaced when dependencies are built.
