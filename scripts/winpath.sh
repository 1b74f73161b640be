# Sourced: winpath PATH prints the Z: drive path Wine gives a Unix path (the root file system), without
# starting Wine.
winpath() { printf 'Z:%s' "$(realpath -m "$1")" | tr / '\\'; }
