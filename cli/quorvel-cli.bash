# Bash completion for quorvel-cli: its commands, each command's options, files after --ini,
# --exclude and --state, and folders after --out.

_quorvel_cli() {
    local current=${COMP_WORDS[COMP_CWORD]}
    local previous=${COMP_WORDS[COMP_CWORD-1]}
    local command=${COMP_WORDS[1]}

    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "search watch get help --help --version" -- "$current")
        return
    fi
    case $previous in
        --ini|--exclude|--state)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$current")
            return ;;
        --out)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$current")
            return ;;
        --board|--read-timeout|--proxy|--exec|--alert-after)
            COMPREPLY=()
            return ;;
    esac
    local options
    case $command in
        search) options="--ini --exclude --board --raw --proxy --help" ;;
        watch) options="--ini --exclude --board --raw --proxy --new --state --exec --alert-after --help" ;;
        get) options="--read-timeout --out --proxy --help" ;;
        *) options="" ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$current")
}

complete -F _quorvel_cli quorvel-cli
