# Bash completion for pellorctl: commands, their options, and profile identifiers for apply.
# Source it, or install it as /usr/share/bash-completion/completions/pellorctl.
_pellorctl() {
    local cur prev command i
    COMPREPLY=()
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    command=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        case "${COMP_WORDS[i]}" in
            list|status|apply|restore|diagnose) command="${COMP_WORDS[i]}"; break ;;
        esac
    done

    if [[ -z "$command" ]]; then
        COMPREPLY=($(compgen -W "list status apply restore diagnose --help --version" -- "$cur"))
        return
    fi
    case "$command" in
        list|status|diagnose) COMPREPLY=($(compgen -W "--json --help" -- "$cur")) ;;
        restore) COMPREPLY=($(compgen -W "--help" -- "$cur")) ;;
        apply)
            if [[ "$prev" == "--for" ]]; then
                COMPREPLY=($(compgen -W "5 15 30 60 120" -- "$cur"))
            elif [[ "$cur" == -* ]]; then
                COMPREPLY=($(compgen -W "--for --no-return --help" -- "$cur"))
            else
                # The identifiers of the profiles, from the tool itself.
                local ids
                ids=$("${COMP_WORDS[0]}" list --json 2>/dev/null |
                    sed -n 's/^ *"id": "\(.*\)",$/\1/p')
                COMPREPLY=($(compgen -W "$ids" -- "$cur"))
            fi
            ;;
    esac
}
complete -F _pellorctl pellorctl
