#!/bin/sh
# The example Ansible playbook, run on this machine into a scratch prefix as the test's user:
# pellorctl, pointed at it through XDG_CONFIG_DIRS, lists the managed profiles and rule with the
# policy, applies the managed start profile and finds the computer keeping the policy.
# Usage: AnsiblePlaybookTest.sh PLAYBOOK BIN_DIR. Exit code 77 (skipped) without ansible-playbook.
set -eu
playbook=$1
pellorctl=$2/pellorctl
command -v ansible-playbook >/dev/null 2>&1 || {
    echo "ansible-playbook is not installed (scripts/packages.txt lists ansible-core)"
    exit 77
}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
for name in XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR \
    NORVANE_SIM_HOME ANSIBLE_HOME ANSIBLE_LOCAL_TEMP ANSIBLE_REMOTE_TEMP; do
    mkdir -p "$root/$name"
    export "$name=$root/$name"
done
chmod 700 "$XDG_RUNTIME_DIR"
export PELLOR_PLATFORM=simulated LANGUAGE=en LC_ALL=C.UTF-8 ANSIBLE_NOCOLOR=1

ansible-playbook -c local -i localhost, "$playbook" -e "pellor_prefix=$root/system" \
    -e "pellor_owner=$(id -un)" -e "pellor_group=$(id -gn)" -e pellor_become=false

for file in policy.json profiles.json rules.json; do
    mode=$(stat -c %a "$root/system/pellor/$file")
    [ "$mode" = 644 ] || { echo "$file has mode $mode, not 644"; exit 1; }
done

export XDG_CONFIG_DIRS="$root/system"
"$pellorctl" list --json >"$root/list.json"
python3 - "$root/list.json" <<'PY'
import json, sys
listing = json.load(open(sys.argv[1]))
administrator = listing["administrator"]
assert administrator["problems"] == [], administrator["problems"]
assert administrator["policy"]["limits"]["battery"]["sleepMinutes"] == 20, administrator["policy"]
assert administrator["policy"]["startProfile"] == "office", administrator["policy"]
assert administrator["rules"] == ["office-hours"], administrator["rules"]
assert administrator["profiles"] == ["office", "lecture"], administrator["profiles"]
managed = [profile["id"] for profile in listing["profiles"] if profile.get("managed")]
assert managed == ["office", "lecture"], managed
PY

"$pellorctl" apply office
"$pellorctl" check
if "$pellorctl" apply vibe 2>"$root/refused"; then
    echo "vibe was applied past the policy's limits"
    exit 1
fi
grep -q "A management policy limits" "$root/refused"
echo "the playbook's folder is in force"
