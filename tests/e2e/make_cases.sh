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

# Two spellings of one file are one output name: adjacent rows merge, a
# spelling that comes back after another file starts it anew with the warning.
newcase outputs_two_spellings_merged; abc; mkdir "$run/out"; : > "$run/out/.keep"
{ keywords "Three spellings of out/A.10N"; values BRDFIL first.brd second.brd third.brd
  values RXNFIL '${OUT}/A.10N' out/A.10N ./out/A.10N; echo 'ENVIRONMENT 1 "OUT" "out"'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"
newcase outputs_A_B_dot_A; abc
{ keywords "Outputs A, B, ./A"; values BRDFIL first.brd second.brd third.brd; values RXNFIL A.10N B.10N ./A.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

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

# Empty inputs first in a merge and at a change of output name: every message
# still goes into the file of its own row, under that file's header.
newcase empty_inputs_first_and_at_a_change; abc; : > "$run/empty1.brd"; : > "$run/empty2.brd"
{ keywords "Outputs A, A, B, B; rows 1 and 3 empty"; values BRDFIL empty1.brd first.brd empty2.brd second.brd
  values RXNFIL A.10N A.10N B.10N B.10N; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

# Lines after the record that ends the messages are reported, not read; blank
# lines after it are not worth a report.
newcase lines_after_the_end
{ messages 1 1 " (blank line, then more)"; echo; messages 2 2 | tail -n +2; } > "$run/gap.brd"
{ messages 3 1 " (satellite 0, then blanks)"; echo "           0"; printf '\n  \t\n\n'; } > "$run/tail.brd"
{ keywords "Lines after the end of the messages"; values BRDFIL gap.brd tail.brd; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

# A variable whose value ends in blanks names the folder without them.
newcase environment_trailing_blanks; mkdir "$run/sub"; : > "$run/sub/.keep"
messages 1 1 > "$run/one.brd"
{ keywords "ENVIRONMENT value with trailing blanks"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 1 "${D}/ALL.10N"'
  echo 'ENVIRONMENT 1 "D" "sub  "'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"

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

# A failed run whose program output goes to a file names that file (and the
# message file) on standard error.
newcase sysout_failed_run
{ keywords "Program output into a file, input missing"; echo 'BRDFIL 1 "nothere.brd"'; echo 'RXNFIL 0'; echo 'SYSOUT 1 "KAVRIL.OUT"'; } > "$run/input.inp"
newcase sysout_syserr_failed_run
{ keywords "Program output and messages into files, input missing"; echo 'BRDFIL 1 "nothere.brd"'; echo 'RXNFIL 0'; echo 'SYSOUT 1 "KAVRIL.OUT"'; echo 'SYSERR 1 "KAVRIL.ERR"'; } > "$run/input.inp"

# Standard output that cannot be written fails the run, which would otherwise
# succeed; so does a program output file that cannot be written (a device
# named as the program output is written, never deleted).
newcase stdout_full
messages 1 1 > "$run/one.brd"
{ keywords "Program output to a full standard output"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"
echo /dev/full > stdout_full/stdout_to
newcase sysout_full
messages 1 1 > "$run/one.brd"
{ keywords "Program output to a full device"; echo 'BRDFIL 1 "one.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; echo 'SYSOUT 1 "/dev/full"'; } > "$run/input.inp"

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

# The options of the command line: --help or --version alone is answered; with
# more arguments, --help is an option of a direct run and still answered.
option() { mkdir -p "$1"; echo "$2" > "$1/args"; }
option option_help --help
option option_version --version
option option_help_and_more "--help more"
option option_help_short -h
option option_version_short -V
option option_version_stdout_full --version; echo /dev/full > option_version_stdout_full/stdout_to

# Synthetic messages for what real data never reaches. `synthetic sat week toe
# toc [eN=value | cN=value ...]` writes one message: satellite record, then
# the ephemeris block (e1 GPS week, e2 toe, e3 semi-major axis, ...) and the
# clock block (c11 toc, c12 a2, c13 a1, c14 a0, ...), four numbers a line. The
# base values are plain and distinct; sqrt(26558562.25) = 5153.5 exactly.
synthetic() {
  local sat=$1
  local -a e=("$2" "$3" 26558562.25 0.0125 0.9625 -1.25 0.875 2.5 4.5e-9 -8.25e-9
              5.5e-6 -4.75e-6 -89.75 278.4375 -9.5e-8 5.5e-9 63 -1.75e-10 0 0)
  local -a c=(0 1 2 0 0 0 0 0 -1.9e-8 63 "$4" 0 -3.75e-12 -1.25e-4 0 0 0 0 0 0)
  shift 4
  local kv
  for kv in "$@"; do
    local n=${kv%%=*}
    case $n in e*) e[${n#e} - 1]=${kv#*=} ;; c*) c[${n#c} - 1]=${kv#*=} ;; esac
  done
  printf '%6d     %3d\n' 1 "$sat"
  printf ' %s %s %s %s\n' "${e[@]}" "${c[@]}"
}
# A case of one broadcast file `messages.brd` into `messages.10N`; the
# messages come from standard input.
synthetic_case() {
  newcase "$1"
  { echo "SYNTHETIC MESSAGES: $2"; cat; } > "$run/messages.brd"
  { keywords "$2"; echo 'BRDFIL 1 "messages.brd"'; echo 'RXNFIL 0'; echo 'RUNBY 1 "E2E AGENCY"'; } > "$run/input.inp"
}

# Week 1590 starts on Sunday 27 June 2010. toc - toe beyond +-302400 s moves
# the week of toc by one; exactly +-302400 s does not.
{
  synthetic 1 1590 0 302400        # +302400: week 1590, 30 Jun 12:00:00
  synthetic 2 1590 302400 0        # -302400: week 1590, 27 Jun 00:00:00
  synthetic 3 1590 0 302401        # +302401: week 1589, 23 Jun 12:00:01
  synthetic 4 1590 302401 0        # -302401: week 1591,  4 Jul 00:00:00
  synthetic 5 1590 0 604784        # week 1589, Saturday 26 Jun 23:59:44
  synthetic 6 1590 604784 0        # week 1591,  4 Jul 00:00:00
  synthetic 7 1590 604784 604784   # week 1590, Saturday  3 Jul 23:59:44
} | synthetic_case half_week_rule "toc - toe around half a week"

# Weeks 1024 and 2048 start on 22 August 1999 and 7 April 2019; the week is
# counted on, never modulo 1024.
{
  synthetic 1 1023 604784 604784   # 1999-08-21 23:59:44
  synthetic 2 1024 0 0             # 1999-08-22 00:00:00
  synthetic 3 1024 0 604784        # week 1023: 1999-08-21 23:59:44
  synthetic 4 1023 604784 0        # week 1024: 1999-08-22 00:00:00
  synthetic 5 2047 604784 604784   # 2019-04-06 23:59:44
  synthetic 6 2048 0 0             # 2019-04-07 00:00:00
  synthetic 7 2048 0 604784        # week 2047: 2019-04-06 23:59:44
  synthetic 8 2047 604784 0        # week 2048: 2019-04-07 00:00:00
} | synthetic_case gps_week_rollovers "GPS weeks 1023/1024 and 2047/2048"

# Years modulo 100 in an I3 field: 99, 0, 79, 80; leap days of 2000 and
# 2080, none in 2100.
{
  synthetic 1 1042 518384 518384   # 1999-12-31 23:59:44
  synthetic 2 1042 518400 518400   # 2000-01-01 00:00:00
  synthetic 3 1051 216000 216000   # 2000-02-29 12:00:00
  synthetic 4 5217 86384 86384     # 2079-12-31 23:59:44
  synthetic 5 5217 86400 86400     # 2080-01-01 00:00:00
  synthetic 6 5225 388800 388800   # 2080-02-29 12:00:00
  synthetic 7 6269 86384 86384     # 2100-02-28 23:59:44
  synthetic 8 6269 86400 86400     # 2100-03-01 00:00:00
} | synthetic_case two_digit_years "Years 1999, 2000, 2079, 2080, 2100"

# Satellite numbers 1 to 99 fill the I2 field; others are input errors.
{
  for sat in 1 9 10 99; do synthetic $sat 1590 7200 7200; done
} | synthetic_case satellite_numbers "Satellite numbers 1, 9, 10 and 99"

# Values whose D form carries into the exponent, needs three exponent digits
# (the letter D then goes), is subnormal, a negative zero, or lies near a tie.
{
  synthetic 1 1590 7200 7200 c14=0.99999999999995 c13=-0.99999999999995 c12=9.9999999999995e-5 \
    e17=1D-100 e13=1.0e100 e9=1.5e-100 e8=4.9406564584124654e-324 \
    e12=-0.0 e4=-4.9406564584124654D-324 e11=1e-101 e3=-0.0 \
    e16=0.41402949720150001 e6=0.89382673551549996 e7=123456789012.5 e14=-0.0D+00
  synthetic 2 1590 7200 7200 e3=1d-200 e5=2.2250738585072014e-308 e14=1.7976931348623157E308 \
    e15=-9.99999999999949e-100 e10=9.99999999999951e99 c9=0.999999999999949 c10=-1e0 c4=-0.0
  synthetic 3 1590 7200 7200 e3=1.7976931348623157e308
} | synthetic_case number_forms "D forms: carries, long exponents, subnormals, -0"

# Clock reference times with a fraction: the seconds are F5.1 of the seconds
# of the epoch, as they stand, so 59.96 s shows as 60.0 in its own minute.
{
  synthetic 1 1590 0 59.94         # 2010-06-27 00:00:59.9
  synthetic 2 1590 0 59.96         # 2010-06-27 00:00 60.0
  synthetic 3 1590 0 3599.96       # 2010-06-27 00:59 60.0
  synthetic 4 1590 0 86399.96      # 2010-06-27 23:59 60.0
  synthetic 7 1590 0 0.06          # 2010-06-27 00:00:00.1
  synthetic 8 1590 0 0.04          # 2010-06-27 00:00:00.0
} | synthetic_case epoch_seconds_fraction "Epoch seconds with a fraction, written as F5.1"

# RINEX 2.11 and 3.04 (keyword RXNVER) of the messages of half_week_rule and
# two_digit_years (years 1999, 2000, 2079, 2080, 2100), and in 2.11 those of
# epoch_seconds_fraction (3.04 refuses them: bad_input/brd_clock_time_fraction_rinex_3).
for version in 2 3; do
  { tail -n +2 half_week_rule/run/messages.brd; tail -n +2 two_digit_years/run/messages.brd
    if [ $version = 2 ]; then tail -n +2 epoch_seconds_fraction/run/messages.brd; fi; } |
    synthetic_case rinex_version_$version "RINEX version $version: half weeks, years (and fractions)"
  echo "RXNVER 1 \"$version\"" >> rinex_version_$version/run/input.inp
done
# The version names "2.11" and "3.04" write what 2 and 3 write.
for name in 2.11 3.04; do
  newcase rinex_version_$name
  cp rinex_version_${name%.*}/run/messages.brd "$run/"
  sed "s/^TITLE 1 \"RINEX version [23]/TITLE 1 \"RINEX version $name/; s/^RXNVER 1 .*/RXNVER 1 \"$name\"/" \
    rinex_version_${name%.*}/run/input.inp > "$run/input.inp"
done

# Near misses of keywords read are warned about (case, a letter missing, two
# swapped in a companion), a keyword of another program is not.
newcase keyword_near_misses
messages 1 1 > "$run/first.brd"
{ keywords "Near misses of keywords warned about"; echo 'BRDFIL 1 "first.brd"'; echo 'RXNFIL 0'
  echo 'RUNBY 1 "E2E AGENCY"'; echo 'rxnver 1 "3"'; echo 'RXNVR 1 "3"'
  echo 'DESCR_BRDFLI 1 "Broadcast files"'; echo 'ORBFIL 1 "orbits.std"'; } > "$run/input.inp"

# --check of RINEX navigation files: a mixed 3.04 hour (two records of one
# Galileo satellite, type and epoch that differ: a conflict) and a mixed
# 4.00 file with time-offset and ionosphere records, compressed; the tables
# and the picture, grouped by system.
newcase check_rinex_mixed
rm -f "$run/CONST"
cp ../../data/rinex-nav/INSA11DEU_R_20223181900_01H_01S_MN.rnx "$run/"
gzip -n -c ../../data/rinex-nav/INS_1581.19P > "$run/INS_1581.19P.gz"
echo '--check --plot mixed.svg INSA11DEU_R_20223181900_01H_01S_MN.rnx INS_1581.19P.gz' > check_rinex_mixed/args
