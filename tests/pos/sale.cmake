# The sale screen.
