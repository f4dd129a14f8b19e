# Empty dependencies file for updater_core.
# This may be replaced when dependencies are built.
