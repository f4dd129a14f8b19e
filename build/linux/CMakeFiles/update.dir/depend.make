# Empty dependencies file for update.
# This may be replaced when dependencies are built.
