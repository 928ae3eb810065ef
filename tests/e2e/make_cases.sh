#!/usr/bin/env bash
# Builds the run/ folders of the end-to-end cases from the IGS sample
# broadcast files (tests/data/igs) and the bundled constants file. The
# expected/ folders are written by a reviewed run with KAVRIL_E2E_UPDATE=1.
set -euo pipefail
cd "$(dirname "$0")/cases"
igs=../../data/igs/brdc1820.brd
const=../../../examples/CONST

# Title of the IGS file with `suffix`, then messages first..first+count-1
# (a message is a satellite record and two blocks: 11 lines).
messages() {
  local first=$1 count=$2 suffix=${3:-}
  echo "$(head -1 "$igs")${suffix}"
  tail -n +2 "$igs" | sed -n "$(((first - 1) * 11 + 1)),$(((first + count - 1) * 11))p"
}
keywords() {
  cat <<KEYS
! Keyword input file of an end-to-end case
TITLE 1 "$1"
CONST 1 "CONST"
BRDFIL_PTH_COL_2 1 ""
BRDFIL_EXT_COL_2 1 "10N"
KEYS
}
values() {  # keyword value... : a keyword with one quoted value per line
  local key=$1; shift
  echo "$key $#"
  for v in "$@"; do echo "  \"$v\""; done
}
newcase() { rm -rf "$1/run"; mkdir -p "$1/run"; cp "$const" "$1/run/CONST"; run=$1/run; }
abc() { messages 1 1 " (first)" > "$run/first.brd"; messages 2 1 " (second)" > "$run/second.brd"; messages 3 2 " (third)" > "$run/third.brd"; }

newcase no_input_files
{ keywords "No broadcast files"; echo 'BRDFIL 0'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase no_input_files_two_outputs
{ keywords "No broadcast files, two output names"; echo 'BRDFIL 0'; values RXNFIL A.10N B.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"
printf 'A.10N\nB.10N\n' > no_input_files_two_outputs/absent

newcase one_output_three_inputs
messages 1 1 " (input 1)" > "$run/input1.brd"; messages 2 2 " (input 2)" > "$run/input2.brd"; messages 4 3 " (input 3)" > "$run/input3.brd"
{ keywords "Three inputs into one RINEX file"; values BRDFIL input1.brd input2.brd input3.brd; echo 'RXNFIL 1 "ALL.10N"'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase outputs_A_A_B; abc
{ keywords "Outputs A, A, B"; values BRDFIL first.brd second.brd third.brd; values RXNFIL A.10N A.10N B.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase outputs_A_B_A; abc
{ keywords "Outputs A, B, A"; values BRDFIL first.brd second.brd third.brd; values RXNFIL A.10N B.10N A.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase blank_output_name; abc; rm "$run/second.brd"
{ keywords "Second output name blank"; values BRDFIL first.brd second.brd third.brd; values RXNFIL one.10N "" three.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase satellite_zero_first
{ echo "BROADCAST FILE WITHOUT MESSAGES"; echo "           0"; sed -n 2,12p "$igs"; } > "$run/nomsg.brd"
{ keywords "Satellite number 0 on the second line"; echo 'BRDFIL 1 "nomsg.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase runby_blank
messages 1 1 > "$run/one.brd"
{ keywords "RUNBY with a blank value"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 ""'; } > "$run/input.inp"

newcase runby_missing
messages 1 1 > "$run/one.brd"
{ keywords "RUNBY missing"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; } > "$run/input.inp"

newcase output_count_mismatch; abc
{ keywords "Three inputs, two outputs"; values BRDFIL first.brd second.brd third.brd; values RXNFIL A.10N B.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"
printf 'A.10N\nB.10N\n' > output_count_mismatch/absent

newcase empty_input_merged; abc; rm "$run/second.brd"; : > "$run/empty.brd"
{ keywords "An empty broadcast file between two merged ones"; values BRDFIL first.brd empty.brd third.brd; echo 'RXNFIL 1 "A.10N"'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase message_cut_short
messages 1 3 > "$run/cut.brd"; sed -i 31,\$d "$run/cut.brd"
{ keywords "A message cut short"; echo 'BRDFIL 1 "cut.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

newcase missing_input_file; abc
{ keywords "The second broadcast file is missing"; values BRDFIL first.brd nothere.brd third.brd; values RXNFIL A.10N B.10N C.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"
printf 'B.10N\nC.10N\n' > missing_input_file/absent

# The bundled example as a new user runs it.
newcase bundled_example; rm "$run/CONST"
cp -r ../../../examples/kavril.inp ../../../examples/CONST ../../../examples/data "$run/"
mkdir -p "$run/out" && : > "$run/out/.keep"
echo kavril.inp > bundled_example/args

# --- System output files, deletion at exit, stops by phase -------------------
newcase sysout_replaces_existing
messages 1 1 > "$run/one.brd"; printf 'OLD PROGRAM OUTPUT\nOF AN EARLIER RUN\n' > "$run/KAVRIL.OUT"
{ keywords "Program output into a file that exists"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; echo 'SYSOUT 1 "KAVRIL.OUT"'; } > "$run/input.inp"

newcase errmrg_selected
messages 1 1 > "$run/one.brd"
{ keywords "Messages merged into the program output"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'SYSOUT 1 "KAVRIL.OUT"'; echo 'SYSERR 1 "KAVRIL.ERR"'; echo 'ERRMRG 1 "1"'; } > "$run/input.inp"
echo KAVRIL.ERR > errmrg_selected/absent

newcase syserr_is_sysout
messages 1 1 > "$run/one.brd"
{ keywords "SYSERR names the program output"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'SYSOUT 1 "KAVRIL.OUT"'; echo 'SYSERR 1 "SYSOUT"'; } > "$run/input.inp"
echo SYSOUT > syserr_is_sysout/absent

newcase syserr_separate_file
messages 1 1 > "$run/one.brd"
{ keywords "Messages into their own file"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'SYSOUT 1 "KAVRIL.OUT"'; echo 'SYSERR 1 "KAVRIL.ERR"'; echo 'ERRMRG 1 "0"'; } > "$run/input.inp"

newcase sysodef_warning
messages 1 1 > "$run/one.brd"
{ keywords "Special program output with a default name"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; echo 'SYSOUT 1 "KAVRIL01"'; echo 'SYSODEF 1 "0"'; } > "$run/input.inp"

newcase sysinp_missing
messages 1 1 > "$run/one.brd"
{ keywords "Standard input from a file that is missing"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'SYSINP 1 "nothere.inp"'; } > "$run/input.inp"
echo one.10N > sysinp_missing/absent

newcase delete_files_at_exit
messages 1 1 > "$run/one.brd"; echo scratch > "$run/scratch.tmp"; echo kept > "$run/keep\${X}.tmp"
{ keywords "Listed files are deleted at the end, the open RINEX file through its unit"
  echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 1 "one.10N"'; echo 'RUNBY 1 "E2E AGENCY"'
  values DELETE_FILES scratch.tmp RXNFIL 'keep${X}.tmp'; } > "$run/input.inp"
printf 'scratch.tmp\none.10N\n' > delete_files_at_exit/absent

newcase stopped_during_initialization
messages 1 1 > "$run/one.brd"; echo scratch > "$run/scratch.tmp"
{ echo 'DELETE_FILES 1 "scratch.tmp"'; echo 'BRDFIL one.brd'; echo 'CONST 1 "CONST"'; } > "$run/input.inp"
echo one.10N > stopped_during_initialization/absent
