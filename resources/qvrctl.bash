# bash completion for qvrctl

_qvrctl() {
    local cur prev command i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}

    case $prev in
        --trace)
            COMPREPLY=($(compgen -f -- "$cur"))
            compopt -o filenames 2>/dev/null
            return
            ;;
        --virtual-refuse)
            COMPREPLY=($(compgen -W "command event" -- "$cur"))
            return
            ;;
        --virtual-event | --count)
            return
            ;;
    esac

    # The command is the first word that is neither an option nor its value.
    command=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --trace | --virtual-event | --virtual-refuse) ((i++)) ;;
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done

    if [ -z "$command" ]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--virtual-mouse --virtual-event --virtual-refuse --trace --version --help" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "info show encode macros upload read-block listen paths" -- "$cur"))
        fi
        return
    fi

    # Each command takes at most one argument, except listen's --count N.
    if ((COMP_CWORD > i + 1)); then
        return
    fi
    case $command in
        show | encode | upload)
            # A profile number means that profile's file in the user folder.
            COMPREPLY=($(compgen -W "0 1 2 3 4 5" -- "$cur") $(compgen -f -X '!*.bin' -- "$cur") $(compgen -d -- "$cur"))
            compopt -o filenames 2>/dev/null
            ;;
        macros)
            COMPREPLY=($(compgen -f -X '!*.ini' -- "$cur") $(compgen -d -- "$cur"))
            compopt -o filenames 2>/dev/null
            ;;
        listen)
            COMPREPLY=($(compgen -W "--count" -- "$cur"))
            ;;
    esac
}
complete -F _qvrctl qvrctl
