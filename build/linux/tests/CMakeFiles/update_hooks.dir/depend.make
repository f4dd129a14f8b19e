# Empty dependencies file for update_hooks.
# This may be replaced when dependencies are built.
