#!/usr/bin/env bash
# Builds the run/ folders of the bad-input cases: malformed broadcast files,
# keyword files, constants files and command lines, each derived from the IGS
# sample broadcast file (tests/data/igs) and the bundled constants file. The
# expected/ folders are written by a reviewed run with KAVRIL_E2E_UPDATE=1.
# README.md lists the cases and what each one proves.
set -euo pipefail
cd "$(dirname "$0")"
igs=../../data/igs/brdc1820.brd
const=../../../examples/CONST

# Title of the IGS file, then messages first..first+count-1 (a message is a
# satellite record and two blocks of five lines: 11 lines).
messages() {
  local first=$1 count=$2
  head -1 "$igs"
  tail -n +2 "$igs" | sed -n "$(((first - 1) * 11 + 1)),$(((first + count - 1) * 11))p"
}
# The keyword file of a run that converts one.brd into one.10N.
panel() {
  cat <<KEYS
! Keyword input file of a bad-input case
TITLE 1 "$1"
CONST 1 "CONST"
BRDFIL 1 "one.brd"
BRDFIL_PTH_COL_2 1 ""
BRDFIL_EXT_COL_2 1 "10N"
RXNFIL 0
RUNBY 1 "E2E AGENCY"
KEYS
}
# A fresh case folder with the constants file and one.brd (message 1).
newcase() {
  rm -rf "$1/run" "$1/absent"
  mkdir -p "$1/run"
  cp "$const" "$1/run/CONST"
  run=$1/run
  messages 1 1 > "$run/one.brd"
}
# Field `field` of line `line` of a file becomes `token` (the line is
# rejoined with single blanks, which free format does not mind).
set_value() {
  local file=$1 line=$2 field=$3 token=$4
  awk -v l="$line" -v f="$field" -v t="$token" 'NR == l { $f = t } { print }' "$file" > "$file.new"
  mv "$file.new" "$file"
}
# Columns 12 to 14 (the satellite field) of line `line` become `field`.
set_satellite() {
  local file=$1 line=$2 field=$3
  awk -v l="$line" -v s="$field" 'NR == l { $0 = sprintf("%-11s%s", substr($0, 1, 11), s) } { print }' \
    "$file" > "$file.new"
  mv "$file.new" "$file"
}
# `count` reproducible bytes of every value (a linear congruential sequence).
garbage() {
  perl -e 'use integer; my $x = 20100701;
    for (1 .. $ARGV[0]) { $x = ($x * 1103515245 + 12345) % 2147483648; print chr(($x >> 16) & 255) }' "$1"
}
repeat() { printf '%*s' "$2" '' | tr ' ' "$1"; }
# A broadcast-file case: one.brd of message 1 with one value replaced.
bad_value() {
  local name=$1 line=$2 field=$3 token=$4
  newcase "$name"
  set_value "$run/one.brd" "$line" "$field" "$token"
  panel "Broadcast file with the value $token" > "$run/input.inp"
}
# A constants-file case: the line of `key` replaced by `text`.
bad_constant() {
  local name=$1 key=$2 text=$3
  newcase "$name"
  awk -v k="$key" -v t="$text" '$1 == k { print t; next } { print }' "$const" > "$run/CONST"
  panel "Constants file: $name" > "$run/input.inp"
}

# --- Broadcast files -------------------------------------------------------
# Lines of a file of two messages: 1 title; message 1: 2 satellite record,
# 3-7 ephemeris block, 8-12 clock block; message 2: 13, 14-18, 19-23.
cut_case() {
  local name=$1 lines=$2
  newcase "$name"
  messages 1 2 | head -n "$lines" > "$run/one.brd"
  panel "Second message cut after line $lines" > "$run/input.inp"
}
cut_case brd_cut_after_satellite_record 13
cut_case brd_cut_inside_ephemeris_block 15
cut_case brd_cut_after_ephemeris_block 18
cut_case brd_cut_inside_clock_block 20
newcase brd_cut_inside_last_line  # the last line stops after its third number, without a line end
messages 1 2 | head -c -25 > "$run/one.brd"
panel "Second message cut inside its last line" > "$run/input.inp"
newcase brd_cut_inside_satellite_record  # the second satellite record stops after 8 characters, without a line end
{ messages 1 2 | head -n 12; messages 1 2 | sed -n 13p | head -c 8; } > "$run/one.brd"
panel "Second satellite record cut short" > "$run/input.inp"
newcase brd_end_marker_zero_without_line_end  # succeeds: an explicit 0 ends the messages, line end or not
{ messages 1 1; printf '%11s  0' ''; } > "$run/one.brd"
panel "End marker 0 without a line end" > "$run/input.inp"
newcase brd_cut_first_message_after_satellite_record
messages 1 1 | head -n 2 > "$run/one.brd"
panel "Only message cut after its satellite record" > "$run/input.inp"
newcase brd_cut_second_input_file  # the first file is converted, the third never opened
messages 2 1 | head -n 9 > "$run/two.brd"; messages 3 1 > "$run/three.brd"
panel "Second of three input files cut short" |
  sed 's/^BRDFIL 1 .*/BRDFIL 3\n  "one.brd"\n  "two.brd"\n  "three.brd"/; s/^RXNFIL 0/RXNFIL 3\n  "A.10N"\n  "B.10N"\n  "C.10N"/' \
  > "$run/input.inp"
printf 'B.10N\nC.10N\n' > brd_cut_second_input_file/absent
newcase brd_cut_second_file_of_a_merge  # the merged RINEX file is deleted as a whole
messages 2 1 | head -n 9 > "$run/two.brd"; messages 3 1 > "$run/three.brd"
panel "Second of three merged input files cut short" |
  sed 's/^BRDFIL 1 .*/BRDFIL 3\n  "one.brd"\n  "two.brd"\n  "three.brd"/; s/^RXNFIL 0/RXNFIL 1 "ALL.10N"/' > "$run/input.inp"
printf 'ALL.10N\n' > brd_cut_second_file_of_a_merge/absent
newcase brd_cut_output_listed_for_deletion  # DELETE_FILES takes the file: no second report
messages 1 2 | head -n 13 > "$run/one.brd"
panel "Cut short, RINEX file listed under DELETE_FILES" | sed 's/^RUNBY.*/&\nDELETE_FILES 1 "one.10N"/' > "$run/input.inp"

bad_value brd_not_a_number_abc 4 1 abc
bad_value brd_not_a_number_two_points 9 2 1.0.0
bad_value brd_not_a_number_exponent_without_digits 5 4 1e
bad_value brd_not_a_number_two_signs 11 3 --1
bad_value brd_not_a_number_sign_only 6 2 +
bad_value brd_repeat_count 10 1 '3*1.0'
bad_value brd_empty_value_between_commas 4 2 '2.9260351870800001E+00,,'
bad_value brd_slash_alone 7 2 /
bad_value brd_slash_after_number 8 1 '0.0/'
bad_value brd_nan 5 1 nan
bad_value brd_nan_mixed_case 12 4 NaN
bad_value brd_inf 6 3 inf
bad_value brd_infinity 10 2 -Infinity
bad_value brd_hexadecimal 4 3 0x1p3
bad_value brd_overflow 6 1 1e309
bad_value brd_overflow_negative 11 1 -1e400
bad_value brd_underflow_reads_as_zero 5 3 -1e-400  # succeeds: Cus becomes 0
bad_value brd_negative_semi_major_axis 3 3 -2.6571977445812229E+07
bad_value brd_gps_week_beyond_int 3 1 1e10
bad_value brd_gps_week_nan 3 1 nan
bad_value brd_clock_time_beyond_weeks 10 3 1e20
bad_value brd_clock_week_beyond_int 3 1 2147483647  # toe and toc set below
set_value "$run/one.brd" 3 2 604784; set_value "$run/one.brd" 10 3 0
newcase brd_clock_time_fraction_rinex_3  # RINEX 3.04 writes whole seconds only
messages 1 2 > "$run/one.brd"; set_value "$run/one.brd" 21 3 3.4560050000000000E+05
panel "Clock reference time with a fraction, RINEX 3.04" | sed 's|^RUNBY.*|&\nRXNVER 1 "3"|' > "$run/input.inp"

satellite_case() {  # name field description
  newcase "$1"
  set_satellite "$run/one.brd" 2 "$2"
  panel "Satellite field holding $3" > "$run/input.inp"
}
satellite_case brd_satellite_letter ' 1a' "a letter"
satellite_case brd_satellite_sign_only ' - ' "a minus sign only"
satellite_case brd_satellite_tab $'\t 1' "a tab"  # succeeds
satellite_case brd_satellite_above_99 '100' "100"
satellite_case brd_satellite_negative ' -5' "-5"

newcase brd_random_bytes
garbage 3000 > "$run/one.brd"
panel "Broadcast file of random bytes" > "$run/input.inp"
printf 'one.10N\n' > brd_random_bytes/absent
newcase brd_nul_bytes  # succeeds: one line of NUL bytes is a title and no message
head -c 200 /dev/zero > "$run/one.brd"
panel "Broadcast file of NUL bytes" > "$run/input.inp"
newcase brd_nul_byte_in_block
set_value "$run/one.brd" 9 2 1.0X
sed -i '9s/1\.0X/1.0\x00/' "$run/one.brd"
panel "NUL byte after a number of the clock block" > "$run/input.inp"

newcase brd_long_title_line  # succeeds: the comment holds columns 1 to 53
{ repeat T 100000; echo; messages 1 1 | tail -n +2; } > "$run/one.brd"
panel "Title line of 100000 characters" > "$run/input.inp"
newcase brd_long_block_line  # succeeds: the 24,980 numbers after the 20th are ignored
{ messages 1 1 | head -2
  messages 1 1 | sed -n 3,7p | tr '\n' ' '; repeat '#' 24980 | sed 's/#/0.0 /g'; echo
  messages 1 1 | sed -n 8,12p; } > "$run/one.brd"
panel "Ephemeris block on one line of 100,000 characters" > "$run/input.inp"
newcase brd_long_number
set_value "$run/one.brd" 4 2 "$(repeat 9 100000)"
panel "A number of 100,000 digits" > "$run/input.inp"
newcase brd_crlf_line_ends  # succeeds: the same RINEX file as with LF line ends
messages 1 2 | sed 's/$/\r/' > "$run/one.brd"
panel "Broadcast file with CR LF line ends" > "$run/input.inp"

newcase brd_comma_after_line_end  # succeeds: the same RINEX file as without the commas
messages 1 2 | sed '3s/^/,/; 4s/$/,/; 5s/^/ , /; 9s/^ /\t,/; 14s/^/ ,/' > "$run/one.brd"
panel "Commas after line ends in the blocks" > "$run/input.inp"
newcase brd_tabs_as_blanks  # succeeds: tabs separate the numbers of a block like blanks
messages 1 2 | sed '3,12s/ /\t/g; 14,23s/  /\t/g' > "$run/one.brd"
panel "Tabs between the numbers of the blocks" > "$run/input.inp"

newcase brd_file_is_a_directory
rm "$run/one.brd"; mkdir "$run/one.brd"; : > "$run/one.brd/.keep"
panel "Broadcast file name naming a folder" > "$run/input.inp"
printf 'one.10N\n' > brd_file_is_a_directory/absent
newcase brd_file_missing
rm "$run/one.brd"
panel "Broadcast file missing" > "$run/input.inp"
printf 'one.10N\n' > brd_file_missing/absent
newcase brd_output_is_a_directory
mkdir "$run/one.10N"; : > "$run/one.10N/.keep"
panel "RINEX file name naming a folder" > "$run/input.inp"
newcase brd_output_folder_missing
panel "RINEX file in a folder that does not exist" | sed 's|^RXNFIL 0|RXNFIL 1 "nodir/one.10N"|' > "$run/input.inp"
printf 'nodir\n' > brd_output_folder_missing/absent
newcase brd_output_full_device  # every write fails: reported, /dev/full left alone
panel "RINEX file on a full device" | sed 's|^RXNFIL 0|RXNFIL 1 "/dev/full"|' > "$run/input.inp"

# A failed conversion deletes the RINEX file it was writing.
for c in brd_cut_after_satellite_record brd_cut_inside_ephemeris_block brd_cut_after_ephemeris_block \
         brd_cut_inside_clock_block brd_cut_inside_last_line brd_cut_inside_satellite_record brd_cut_first_message_after_satellite_record \
         brd_cut_output_listed_for_deletion brd_long_number brd_nul_byte_in_block brd_random_bytes \
         brd_satellite_letter brd_satellite_sign_only brd_satellite_above_99 brd_satellite_negative \
         brd_clock_time_fraction_rinex_3; do
  printf 'one.10N\n' > "$c/absent"
done
for c in not_a_number_abc not_a_number_two_points not_a_number_exponent_without_digits not_a_number_two_signs \
         not_a_number_sign_only repeat_count empty_value_between_commas slash_alone slash_after_number nan \
         nan_mixed_case inf infinity hexadecimal overflow overflow_negative negative_semi_major_axis \
         gps_week_beyond_int gps_week_nan clock_time_beyond_weeks clock_week_beyond_int; do
  printf 'one.10N\n' > "brd_$c/absent"
done

# --- RINEX file names that are files of the run ------------------------------
overwrite_case() {  # name title sed-script
  newcase "$1"
  panel "$2" | sed "$3" > "$run/input.inp"
}
overwrite_case out_is_a_later_input "RINEX file of row 1 is the input of row 2" \
  's/^BRDFIL 1 .*/BRDFIL 2\n  "one.brd"\n  "two.brd"/; s/^RXNFIL 0/RXNFIL 2\n  ".\/two.brd"\n  "B.10N"/'
messages 2 1 > out_is_a_later_input/run/two.brd
printf 'B.10N\n' > out_is_a_later_input/absent
overwrite_case out_is_the_keyword_file "RINEX file is the keyword file" 's|^RXNFIL 0|RXNFIL 1 "./input.inp"|'
overwrite_case out_is_the_constants_file "RINEX file is the constants file" 's|^RXNFIL 0|RXNFIL 1 "CONST"|'
overwrite_case out_is_the_program_output "RINEX file is the program output" \
  's|^RXNFIL 0|RXNFIL 1 "${D}/kavril.out"\nSYSOUT 1 "kavril.out"\nENVIRONMENT 1 "D" "."|'

# --- Keyword files -----------------------------------------------------------
newcase kw_file_missing
panel "unused" > "$run/input.inp"
echo -- nothere.inp > kw_file_missing/args
newcase kw_file_is_a_directory
mkdir "$run/panel.inp"; : > "$run/panel.inp/.keep"
echo -- panel.inp > kw_file_is_a_directory/args
newcase kw_empty_file
: > "$run/input.inp"
printf 'one.10N\n' > kw_empty_file/absent
echo -- input.inp > kw_empty_file/args

keyword_edit() {  # name title sed-script: the standard keyword file edited
  newcase "$1"
  panel "$2" | sed "$3" > "$run/input.inp"
  printf 'one.10N\n' > "$1/absent"
}
keyword_edit kw_count_not_an_integer "Count not an integer" 's/^BRDFIL 1 /BRDFIL one /'
keyword_edit kw_slash_before_count "Slash before the count" 's/^BRDFIL 1 /BRDFIL \/ 1 /'
keyword_edit kw_huge_count "Count of 2000000000" 's/^RUNBY 1 .*/RUNBY 2000000000\n  "E2E AGENCY"/'
keyword_edit kw_negative_count_brdfil "BRDFIL with count -1" 's/^BRDFIL 1 .*/BRDFIL -1/'
keyword_edit kw_negative_count_rxnfil "RXNFIL with count -1" 's/^RXNFIL 0/RXNFIL -1/'
keyword_edit kw_negative_count_runby "RUNBY with count -2" 's/^RUNBY 1 .*/RUNBY -2/'
keyword_edit kw_negative_count_const "CONST with count -1" 's/^CONST 1 .*/CONST -1/'
# An empty value list reads as one blank value: the default names, a blank agency.
rm kw_negative_count_rxnfil/absent kw_negative_count_runby/absent
keyword_edit kw_unterminated_quote "Unterminated quote" 's/^CONST 1 "CONST"/CONST 1 "CONST/'
keyword_edit kw_count_one_without_value "Count 1 without a value" 's/^RUNBY 1 .*/RUNBY 1/'
keyword_edit kw_value_lines_missing_at_end "Value lines missing at the end" 's/^RUNBY 1 .*/RUNBY 3\n  "E2E AGENCY"/'
keyword_edit kw_value_line_is_a_keyword_line "Keyword line where a value line belongs" \
  's/^BRDFIL 1 .*/BRDFIL 3\n  "one.brd"\n  "one.brd"/'
keyword_edit kw_value_line_is_a_verbatim_keyword_line "Verbatim keyword line where a value line belongs" \
  's/^BRDFIL 1 .*/BRDFIL 2\n  "one.brd"\nENVIRONMENT 1 "D" "."/'
keyword_edit kw_lower_case_keywords "Keywords in lower case" 's/^\([A-Z_0-9]*\) /\L\1 /'
keyword_edit kw_long_line "Keyword line of 100,000 characters" \
  "s/^TITLE 1 .*/TITLE 1 \"$(repeat X 100000)\"/"
keyword_edit kw_brdfil_missing "BRDFIL missing" '/^BRDFIL 1 /d'
keyword_edit kw_rxnfil_count_mismatch "One input file, two output names" 's/^RXNFIL 0/RXNFIL 2\n  "A.10N"\n  "B.10N"/'
printf 'A.10N\nB.10N\none.10N\n' > kw_rxnfil_count_mismatch/absent
keyword_edit kw_unresolved_variable "Variable not defined under ENVIRONMENT" \
  's/^BRDFIL 1 .*/BRDFIL 1 "${DATA}\/one.brd"\nENVIRONMENT 1 "OUT" "out"/'
keyword_edit kw_variable_without_closing_brace "Variable without its closing brace" \
  's/^BRDFIL 1 .*/BRDFIL 1 "${DATA\/one.brd"\nENVIRONMENT 1 "DATA" "."/'
keyword_edit kw_sysout_missing_folder "Program output into a missing folder" 's|^RUNBY.*|&\nSYSOUT 1 "nodir/kavril.out"|'
printf 'one.10N\nnodir\n' > kw_sysout_missing_folder/absent
keyword_edit kw_syserr_missing_folder "Messages into a missing folder" 's|^RUNBY.*|&\nSYSERR 1 "nodir/kavril.err"|'
printf 'one.10N\nnodir\n' > kw_syserr_missing_folder/absent
# A variable of the message file's name that cannot be resolved is reported
# where messages went so far (standard output here), not into the file.
keyword_edit kw_syserr_unresolved_folder "SYSERR folder an unresolved variable" 's|^RUNBY.*|&\nERRMRG 1 "0"\nSYSERR 1 "${NOPE}/p.err"|'
keyword_edit kw_syserr_unresolved_name "SYSERR name holding an unresolved variable" 's|^RUNBY.*|&\nSYSERR 1 "${NOPE}.err"|'
rm kw_syserr_unresolved_name/absent  # succeeds after the warning: the name is used as it stands
keyword_edit kw_errmrg_two "ERRMRG 2" 's|^RUNBY.*|&\nERRMRG 1 "2"|'
keyword_edit kw_rxnver_out_of_range "RINEX version 5" 's|^RUNBY.*|&\nRXNVER 1 "5"|'
keyword_edit kw_rxnver_not_an_integer "RINEX version 2.10, no version name" 's|^RUNBY.*|&\nRXNVER 1 "2.10"|'
keyword_edit kw_rxnver_3_4 "RINEX version 3.4, no version name" 's|^RUNBY.*|&\nRXNVER 1 "3.4"|'
keyword_edit kw_errmrg_not_a_number "ERRMRG x, messages to a file" 's|^RUNBY.*|&\nERRMRG 1 "x"\nSYSERR 1 "kavril.err"|'
keyword_edit kw_sysodef_two_values "SYSODEF with two values" 's|^RUNBY.*|&\nSYSOUT 1 "kavril.out"\nSYSODEF 2\n  "1"\n  "0"|'
keyword_edit kw_delete_files_unresolved "DELETE_FILES entry with a variable" \
  's|^RUNBY.*|&\nDELETE_FILES 2\n  "${NOVAR}.tmp"\n  "gone.tmp"|'
rm kw_delete_files_unresolved/absent  # succeeds: the entry holding "$" is kept
: > 'kw_delete_files_unresolved/run/${NOVAR}.tmp'; : > kw_delete_files_unresolved/run/gone.tmp
printf 'gone.tmp\n' > kw_delete_files_unresolved/absent

newcase kw_1001_blank_lines  # the keyword input ends after 1000 blank lines: CONST is not seen
{ panel "1001 blank lines before CONST" | grep -v '^CONST'; repeat '#' 1001 | tr '#' '\n'; echo 'CONST 1 "CONST"'; } > "$run/input.inp"
printf 'one.10N\n' > kw_1001_blank_lines/absent
newcase kw_1000_blank_lines  # succeeds
{ panel "1000 blank lines before CONST" | grep -v '^CONST'; repeat '#' 1000 | tr '#' '\n'; echo 'CONST 1 "CONST"'; } > "$run/input.inp"
newcase kw_binary_garbage
garbage 2000 > "$run/input.inp"
printf 'one.10N\n' > kw_binary_garbage/absent
echo -- input.inp > kw_binary_garbage/args
newcase kw_tabs_as_blanks  # succeeds: tabs in the keyword file and the constants file's value fields
{ panel "Keyword file with tabs" | sed 's/^RUNBY 1 .*/RUNBY\t1\t"E2E AGENCY"\t/; s/^BRDFIL 1 .*/\tBRDFIL\t2\t\n\t"one.brd"\n\t\n\t! comment\n\tone.brd\t/; s/^RXNFIL 0/RXNFIL\t1\tone.10N/'; } > "$run/input.inp"
sed -i 's/^C        299792458.D0 /C        \t299792458.D0/; s/^FREQ1    1575420000.D0 /FREQ1    1575420000.D0\t/' "$run/CONST"
keyword_edit kw_quoted_count "Quoted value count" 's/^RUNBY 1 .*/RUNBY "1" "E2E AGENCY"/'
keyword_edit kw_first_failing_line_first "Missing value before missing value lines" 's/^CONST 1 .*/CONST 1/; s/^RUNBY 1 .*/RUNBY 2\n  "E2E AGENCY"/'
keyword_edit kw_rxnfil_unquoted_path "Unquoted RINEX file name with a folder" 's|^RXNFIL 0|RXNFIL 1 results/ALL.10N|'
keyword_edit kw_path_column_unquoted "Unquoted path column" 's|^BRDFIL_PTH_COL_2 1 .*|BRDFIL_PTH_COL_2 1 out/|'
keyword_edit kw_value_line_unquoted_path "Unquoted path on a value line" 's|^BRDFIL 1 .*|BRDFIL 2\n  "one.brd"\n  /data/one.brd|'
newcase kw_crlf_line_ends  # succeeds
panel "Keyword file with CR LF line ends" | sed 's/$/\r/' > "$run/input.inp"

# --- Constants files ---------------------------------------------------------
newcase const_file_missing
rm "$run/CONST"; panel "Constants file missing" > "$run/input.inp"
printf 'one.10N\n' > const_file_missing/absent
newcase const_file_is_a_directory
rm "$run/CONST"; mkdir "$run/CONST"; : > "$run/CONST/.keep"
panel "Constants file name naming a folder" > "$run/input.inp"
printf 'one.10N\n' > const_file_is_a_directory/absent
bad_constant const_value_not_a_number FREQ2 'FREQ2    ABC              HZ           GPS L2 FREQUENCY'
bad_constant const_value_blank FREQ1 'FREQ1                     HZ           GPS L1 FREQUENCY'
bad_constant const_name_only C 'C'
bad_constant const_trailing_garbage FREQ5 'FREQ5    3.0x             HZ           GPS L5 FREQUENCY'
bad_constant const_overflow GM 'GM       1D999            M**3/S**2    GRAVITY CONSTANT * EARTH MASS'
bad_constant const_long_line C "C        299792458.D0$(repeat x 100000)"
newcase const_binary_value
{ grep -v '^FREQ1 ' "$const"; printf 'FREQ1    '; garbage 300 | tr -d '\n'; echo; } > "$run/CONST"
panel "Constants file: const_binary_value" > "$run/input.inp"
for c in const_value_not_a_number const_value_blank const_name_only const_trailing_garbage const_overflow \
         const_long_line const_binary_value; do printf 'one.10N\n' > "$c/absent"; done

# --- Command lines -----------------------------------------------------------
newcase args_none
panel "unused" > "$run/input.inp"
: > args_none/args
newcase args_blank
panel "unused" > "$run/input.inp"
echo "'' ' '" > args_blank/args
newcase args_name_with_a_blank  # succeeds: the two arguments are joined with one blank
panel "Keyword file name with a blank" > "$run/my input.inp"
echo 'my input.inp' > args_name_with_a_blank/args
newcase args_name_of_300_characters  # succeeds: the name is taken whole, not cut to 255
deep=$(printf 'folder_%02d/' $(seq 1 29))
mkdir -p "$run/$deep"
panel "Keyword file name of 300 characters" > "$run/${deep}input1.inp"
echo "${deep}input1.inp" > args_name_of_300_characters/args

# --- RINEX navigation files in a check -------------------------------------
# From the hourly mixed RINEX 3.04 file of the corpus: its header (13 lines)
# and records of 8 lines.
rinex=../../data/rinex-nav/INSA11DEU_R_20223181900_01H_01S_MN.rnx
newrinex() {
  rm -rf "$1/run" "$1/absent"
  mkdir -p "$1/run"
  run=$1/run
}
newrinex check_rinex_cut_record
head -n 27 "$rinex" > "$run/cut.rnx"  # the header, two records, 2 lines of the third
echo '--check --json cut.rnx' > check_rinex_cut_record/args
newrinex check_rinex_bad_number
sed '17s/\.213490947266D+05/.2134909X7266D+05/' "$rinex" > "$run/bad.rnx"
echo '--check --strict bad.rnx' > check_rinex_bad_number/args
