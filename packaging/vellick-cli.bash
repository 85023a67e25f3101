# bash completion for vellick-cli                          -*- shell-script -*-
# Everything about the options comes from the installed program's own --help: their names, which of them
# take a value and what kind (DIR, FILE). Only the values that are one of a few words are named here.

# For the option as typed (short or long), from its --help line ("  -d, --folder=DIR  ..."): its long name,
# its value name, and "optional" when the value is ("--color[=WHEN]"). Nothing when it takes no value.
_vellick_cli_option()
{
    local program=$1 option=$2 line
    local pattern='^ +(-[[:alnum:]], )?(--[[:alnum:]][[:alnum:]-]*)(\[=|=| )([A-Z]+)(\]?)( |$)'
    while IFS= read -r line; do
        [[ $line =~ $pattern ]] || continue
        if [[ $option == "${BASH_REMATCH[2]}" || $option == "${BASH_REMATCH[1]%, }" ]]; then
            printf '%s %s %s\n' "${BASH_REMATCH[2]}" "${BASH_REMATCH[4]}" "${BASH_REMATCH[5]:+optional}"
            return
        fi
    done < <(LC_ALL=C "$program" --help 2>/dev/null)
}

# --include takes a comma-separated list: complete the word after the last comma and leave out the columns
# already given.
_vellick_cli_columns()
{
    local given="${cur%"${cur##*,}"}" column columns=()
    for column in path type size modified hits keywords context; do
        [[ ,$given == *,$column,* ]] || columns+=("$column")
    done
    COMPREPLY=($(compgen -P "$given" -W "${columns[*]}" -- "${cur##*,}"))
    compopt -o nospace
}

# Completes the value of the option; false when `prev` takes none, so that `cur` is a word of its own.
_vellick_cli_value()
{
    local long value optional
    read -r long value optional <<<"$(_vellick_cli_option "$1" "$prev")"
    # An optional value is only ever written as --option=VALUE.
    [[ $long && ($split == true || -z $optional) ]] || return 1
    case $long in
        --format) COMPREPLY=($(compgen -W 'csv import text' -- "$cur")) ;;
        --include) _vellick_cli_columns ;;
        --mode) COMPREPLY=($(compgen -W 'all any phrase' -- "$cur")) ;;
        --color | --colour) COMPREPLY=($(compgen -W 'auto always never' -- "$cur")) ;;
        *)
            case $value in
                DIR) _filedir -d ;;
                FILE) _filedir ;;
            esac
            ;;
    esac
    return 0
}

_vellick_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    [[ $prev == -* ]] && _vellick_cli_value "$1" && return
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '$(_parse_help "$1")' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    elif [[ " ${words[*]} " == *" -e "* || " ${words[*]} " == *" --keyword"* ]]; then
        # With keywords given by -e, the other arguments are the folders to search.
        _filedir -d
    fi
} && complete -F _vellick_cli vellick-cli
