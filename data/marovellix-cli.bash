# bash completion for marovellix-cli: its commands, each command's options and file names where
# the command takes files. Everything is read from the tool's own --help, so the completion
# follows the tool: the commands listed under the main help's "Commands:" heading, the options of
# "marovellix-cli COMMAND --help", an option's value shown as "<FILE>" completes a file name,
# and a command whose arguments include FILE takes files.

_marovellix_cli()
{
    local cur prev words cword
    _init_completion || return

    local program=$1
    if ((cword == 1)); then
        local commands
        commands=$("$program" --help 2>/dev/null | awk '/^Comman[a-z]* ?:/ { on = 1; next } on && !NF { exit } on { print $1 }')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local command=${words[1]} help line names value
    help=$("$program" "$command" --help 2>/dev/null) || return

    # The word before is an option that takes a value: a file name, or nothing to offer.
    if [[ $prev == -* ]]; then
        while read -r line; do
            [[ $line == -*' <'* ]] || continue
            names=${line%% <*}
            [[ ", $names," == *", $prev,"* ]] || continue
            value=${line#* <}
            value=${value%%>*}
            case $value in
                FILE | FICHIER) _filedir ;;
            esac
            return
        done <<<"$help"
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '$(_parse_help - <<<"$help")' -- "$cur"))
        return
    fi
    if grep -Eq '^ +(FILE|FICHIER)( |$)' <<<"$help"; then
        _filedir
    fi
} &&
    complete -F _marovellix_cli marovellix-cli
