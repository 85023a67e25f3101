# bash completion for vellick-cli                          -*- shell-script -*-
# The option names come from the installed program's own --help, so they follow it; only the options whose
# values can be completed are named here.

_vellick_cli_columns()
{
    # --include takes a comma-separated list: complete the word after the last comma and leave out the
    # columns already given.
    local given="${cur%"${cur##*,}"}" column columns=()
    for column in path type size modified keywords context; do
        [[ ,$given == *,$column,* ]] || columns+=("$column")
    done
    COMPREPLY=($(compgen -P "$given" -W "${columns[*]}" -- "${cur##*,}"))
    compopt -o nospace
}

_vellick_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        -d | --folder)
            _filedir -d
            return
            ;;
        -l | --listed | -o | --report)
            _filedir
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W 'csv import text' -- "$cur"))
            return
            ;;
        --include)
            _vellick_cli_columns
            return
            ;;
        -m | --mode)
            COMPREPLY=($(compgen -W 'all any phrase' -- "$cur"))
            return
            ;;
        -p | --files | -k | --max-hits | --threads)
            return
            ;;
    esac

    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '$(_parse_help "$1")' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    fi
} && complete -F _vellick_cli vellick-cli
