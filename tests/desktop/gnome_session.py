'''A python-dbusmock template of GNOME's session manager: GetInhibitors and, for each inhibitor,
its app id, reason and flags. Parameters: {"inhibitors": [[app_id, reason, flags], ...]}.'''

import dbus

BUS_NAME = 'org.gnome.SessionManager'
MAIN_OBJ = '/org/gnome/SessionManager'
MAIN_IFACE = 'org.gnome.SessionManager'
SYSTEM_BUS = False

INHIBITOR_IFACE = 'org.gnome.SessionManager.Inhibitor'


def load(mock, parameters):
    paths = []
    for number, (app_id, reason, flags) in enumerate(parameters.get('inhibitors', []), start=1):
        path = f'/org/gnome/SessionManager/Inhibitor{number}'
        mock.AddObject(path, INHIBITOR_IFACE, {}, [
            ('GetAppId', '', 's', f'ret = {app_id!r}'),
            ('GetReason', '', 's', f'ret = {reason!r}'),
            ('GetFlags', '', 'u', f'ret = dbus.UInt32({int(flags)})'),
        ])
        paths.append(path)
    mock.AddMethod(MAIN_IFACE, 'GetInhibitors', '', 'ao',
                   f'ret = [dbus.ObjectPath(p) for p in {paths!r}]')
