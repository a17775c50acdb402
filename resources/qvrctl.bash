# bash completion for qvrctl

_qvrctl() {
    local cur prev command= arguments=0 ended= word i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}

    # Options stand before or after the command; "--" ends them. The command
    # is the first word that is neither an option nor an option's value.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [ -z "$ended" ]; then
            case $word in
                --) ended=1; continue ;;
                --trace | --virtual-event | --virtual-refuse | --count | --wait) ((i++)); continue ;;
                -?*) continue ;;
            esac
        fi
        if [ -z "$command" ]; then
            command=$word
        else
            ((arguments++))
        fi
    done

    if [ -z "$ended" ]; then
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
            --virtual-event | --count | --wait)
                return
                ;;
        esac
        if [[ $cur == -* ]]; then
            local options="--virtual-mouse --virtual-event --virtual-refuse --trace --version --help"
            [ "$command" = listen ] && options="--count $options"
            [ "$command" = profile ] && options="--wait $options"
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
            return
        fi
    fi

    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "info show encode macros upload read-block listen paths profile auto" -- "$cur"))
        return
    fi

    if [ "$command" = profile ]; then
        # profile list | current | switch PROFILE, a position or a name.
        if ((arguments == 0)); then
            COMPREPLY=($(compgen -W "list current switch" -- "$cur"))
        elif ((arguments == 1)) && [ "${COMP_WORDS[COMP_CWORD-1]}" = switch ]; then
            local names
            names=$(qvrctl profile list 2>/dev/null | cut -c5- | sort -u)
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "0 1 2 3 4 5"$'\n'"$names" -- "$cur"))
        fi
        return
    fi

    if [ "$command" = auto ]; then
        # auto list | add APP PROFILE | remove APP | default PROFILE|none | on | off
        local verb=${COMP_WORDS[COMP_CWORD-arguments]} names
        local IFS=$'\n'
        if ((arguments == 0)); then
            COMPREPLY=($(compgen -W $'list\nadd\nremove\ndefault\non\noff' -- "$cur"))
            return
        fi
        names=$(qvrctl profile list 2>/dev/null | cut -c5- | sort -u)
        if ((arguments == 1)) && [ "$verb" = default ]; then
            COMPREPLY=($(compgen -W "none"$'\n'"$names" -- "$cur"))
        elif ((arguments == 1)) && [ "$verb" = remove ]; then
            COMPREPLY=($(compgen -W "$(qvrctl auto list 2>/dev/null | sed -n 's/ -> .*//p')" -- "$cur"))
        elif ((arguments == 2)) && [ "$verb" = add ]; then
            COMPREPLY=($(compgen -W "$names" -- "$cur"))
        fi
        return
    fi

    # show, encode, upload and macros take one argument, the others none.
    ((arguments == 0)) || return
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
            [ -z "$ended" ] && COMPREPLY=($(compgen -W "--count" -- "$cur"))
            ;;
    esac
}
complete -F _qvrctl qvrctl
