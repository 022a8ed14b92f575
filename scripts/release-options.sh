# The configuration users build: the README's first command (scripts/run.sh), its packaging commands and
# the checks that build the same (scripts/test.sh). Sourced, not run.
# Warnings never stop it (a build folder made before that default keeps its own setting otherwise).
release_options=(-DCMAKE_BUILD_TYPE=Release -DTAMRIX_BENCH=OFF -DBUILD_TESTING=OFF -DTAMRIX_WERROR=OFF)
