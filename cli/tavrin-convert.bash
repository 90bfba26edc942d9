# bash completion for tavrin-convert                     -*- shell-script -*-
#
# Completes the options, the category after --list, --table and --audit, a
# file after --svg, and the unit names for FROM and TO, quoted so that names
# with blanks and slashes come out as one word. TO offers only the targets of
# FROM's category (for Torque the target spelling "Inch pound"). Every name
# comes from `tavrin-convert --list` itself, so the completion cannot drift
# from the catalogue.

# _tavrin_convert_dequote WORD: the text a shell word stands for, for the
# words a user types here ("a b", 'a b', a\ b; an unclosed quote too).
_tavrin_convert_dequote() {
  local word=$1
  case $word in
    \"*) word=${word#\"}; word=${word%\"} ;;
    \'*) word=${word#\'}; word=${word%\'} ;;
    *) word=${word//\\/} ;;
  esac
  printf '%s' "$word"
}

# _tavrin_convert_catalogue PROGRAM: every unit as "CATEGORY<TAB>SIDE<TAB>NAME"
# lines, SIDE being sources (FROM) or targets (TO). A category whose sources
# and targets differ lists them under two headings ("sources (FROM):",
# "targets (TO):") with the names indented; the others list one set of names
# for both.
_tavrin_convert_catalogue() {
  local program=$1 category line side
  while IFS= read -r category; do
    side=
    while IFS= read -r line; do
      case $line in
        sources*:) side=sources ;;
        targets*:) side=targets ;;
        *) line=${line#"${line%%[! ]*}"}
           if [ -n "$side" ]; then
             printf '%s\t%s\t%s\n' "$category" "$side" "$line"
           else
             printf '%s\tsources\t%s\n%s\ttargets\t%s\n' "$category" "$line" "$category" "$line"
           fi ;;
      esac
    done < <("$program" --list "$category" 2>/dev/null)
  done < <("$program" --list 2>/dev/null)
}

# _tavrin_convert_units PROGRAM SIDE [FROM]: the unit names of SIDE, one a
# line; with FROM, only the targets of FROM's category (every target if FROM
# is no source).
_tavrin_convert_units() {
  local program=$1 side=$2 from=${3-}
  _tavrin_convert_catalogue "$program" | awk -F '\t' -v side="$side" -v from="$from" '
    { category[NR] = $1; sides[NR] = $2; name[NR] = $3
      if (from != "" && $2 == "sources" && $3 == from) of = $1 }
    END { for (i = 1; i <= NR; i++)
            if (sides[i] == side && (of == "" || category[i] == of)) print name[i] }'
}

# _tavrin_convert_offer CURRENT: COMPREPLY from the names on stdin that start
# with what CURRENT stands for. After an opening quote the names go in as
# they are (readline closes the quote); otherwise blanks and the like are
# escaped with backslashes.
_tavrin_convert_offer() {
  local current=$1 prefix name quoted
  prefix=$(_tavrin_convert_dequote "$current")
  while IFS= read -r name; do
    [[ $name == "$prefix"* ]] || continue
    case $current in
      \"* | \'*) COMPREPLY+=("$name") ;;
      *) printf -v quoted '%q' "$name"; COMPREPLY+=("$quoted") ;;
    esac
  done
}

_tavrin_convert() {
  COMPREPLY=()
  local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD - 1]}
  local program=${COMP_WORDS[0]} word mode= i
  local -a positional=()
  program=${program/#\~/$HOME}
  command -v "$program" >/dev/null 2>&1 || program=tavrin-convert

  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    case $word in
      --list | --table | --audit | --batch | --help | -h | --version) mode=$word ;;
      # A negative value is a value, never an option.
      -[0-9.]*) positional+=("$word") ;;
      -*) ;;
      *) positional+=("$word") ;;
    esac
  done

  # No category starts with '-', so an option is what a '-' asks for, also
  # after --list and --audit, whose CATEGORY is optional.
  if [[ $current == -* && $current != -[0-9.]* ]]; then
    local options="--exact --explain --batch --list --table --audit --svg --csv --help --version"
    COMPREPLY=($(compgen -W "$options" -- "$current"))
    return 0
  fi
  case $previous in
    --list | --table | --audit)
      _tavrin_convert_offer "$current" < <("$program" --list 2>/dev/null)
      return 0 ;;
    --svg)
      # compopt works only while bash completes; a test calls this directly.
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$(_tavrin_convert_dequote "$current")")
      return 0 ;;
  esac
  [ -z "$mode" ] || return 0

  # VALUE FROM TO
  case ${#positional[@]} in
    1) _tavrin_convert_offer "$current" < <(_tavrin_convert_units "$program" sources) ;;
    2) _tavrin_convert_offer "$current" < <(_tavrin_convert_units "$program" targets \
         "$(_tavrin_convert_dequote "${positional[1]}")") ;;
  esac
  return 0
}
complete -F _tavrin_convert tavrin-convert
