'''A python-dbusmock template of KDE's PowerDevil: refreshStatus on the main object (its calls are
recorded, see GetCalls) and the policy agent's ListInhibitions. Parameters:
{"inhibitions": {app_name: reason, ...}}.'''

import dbus

BUS_NAME = 'org.kde.Solid.PowerManagement'
MAIN_OBJ = '/org/kde/Solid/PowerManagement'
MAIN_IFACE = 'org.kde.Solid.PowerManagement'
SYSTEM_BUS = False

AGENT_OBJ = '/org/kde/Solid/PowerManagement/PolicyAgent'
AGENT_IFACE = 'org.kde.Solid.PowerManagement.PolicyAgent'


def load(mock, parameters):
    mock.AddMethod(MAIN_IFACE, 'refreshStatus', '', '', '')
    inhibitions = parameters.get('inhibitions', {})
    mock.AddObject(AGENT_OBJ, AGENT_IFACE, {}, [
        ('ListInhibitions', '', 'a{ss}',
         f'ret = dbus.Dictionary({inhibitions!r}, signature="ss")'),
    ])
