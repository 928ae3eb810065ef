#!/usr/bin/env bash
# Test-data generator: rebuilds gfortran_table.txt from generate_table.f90.
# Needs gfortran; the product and its tests do not.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gfortran -O0 -o "$work/generate_table" generate_table.f90
"$work/generate_table" > gfortran_table.txt
wc -l gfortran_table.txt
