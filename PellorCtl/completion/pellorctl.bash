# Bash completion for pellorctl: commands, their options, profile identifiers for apply, toggle
# and rules add --use, the conditions of rules add --when, and the files set-aside moves.
# Source it, or install it as /usr/share/bash-completion/completions/pellorctl.
_pellorctl_profiles() {
    # The identifiers of the profiles, from the tool itself.
    "${COMP_WORDS[0]}" list --json 2>/dev/null | sed -n 's/^ *"id": "\(.*\)",$/\1/p'
}

_pellorctl() {
    local cur prev command action i
    COMPREPLY=()
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    command=""
    action=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        case "${COMP_WORDS[i]}" in
            list|status|apply|toggle|restore|diagnose|rules|set-aside)
                command="${COMP_WORDS[i]}"
                [[ "$command" == rules && $((i + 1)) -lt $COMP_CWORD ]] && action="${COMP_WORDS[i+1]}"
                break ;;
        esac
    done

    if [[ -z "$command" ]]; then
        COMPREPLY=($(compgen -W "list status apply toggle restore diagnose rules set-aside --help --version" -- "$cur"))
        return
    fi
    case "$command" in
        list|status|diagnose) COMPREPLY=($(compgen -W "--json --help" -- "$cur")) ;;
        restore) COMPREPLY=($(compgen -W "--help" -- "$cur")) ;;
        set-aside) COMPREPLY=($(compgen -W "backup profiles rules --help" -- "$cur")) ;;
        apply|toggle)
            if [[ "$prev" == "--for" ]]; then
                COMPREPLY=($(compgen -W "5 15 30 60 120" -- "$cur"))
            elif [[ "$cur" == -* ]]; then
                COMPREPLY=($(compgen -W "--for --no-return --help" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "$(_pellorctl_profiles)" -- "$cur"))
            fi
            ;;
        rules)
            case "$action" in
                "") COMPREPLY=($(compgen -W "add remove move enable disable pause resume --json --help" -- "$cur")) ;;
                add)
                    case "$prev" in
                        --when) COMPREPLY=($(compgen -W "battery adapter ups battery-below schedule app external-display" -- "$cur")) ;;
                        --use) COMPREPLY=($(compgen -W "$(_pellorctl_profiles)" -- "$cur")) ;;
                        schedule) COMPREPLY=($(compgen -W "weekdays weekends daily mon-fri mon tue wed thu fri sat sun" -- "$cur")) ;;
                        *) COMPREPLY=($(compgen -W "--when --use --help" -- "$cur")) ;;
                    esac
                    ;;
                *) COMPREPLY=($(compgen -W "--help" -- "$cur")) ;;
            esac
            ;;
    esac
}
complete -F _pellorctl pellorctl
