# Empty dependencies file for companion.
# This may be replaced when dependencies are built.
