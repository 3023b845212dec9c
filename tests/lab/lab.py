#!/usr/bin/env python3
"""The lab: runs the real setup on a simulated machine and reports what a person would have
seen and what changed on the machine.

    lab.py [--build DIR] [--configure] [--check] SCENARIO...

The build tree decides the machine: the shipped 32-bit build (build/win32, the default) runs on a
32-bit Windows of the emulated 32-bit Wine, the win64 build on a 64-bit Windows of wine64.

A scenario (tests/lab/scenarios/*.scenario) is "key = value" lines, each key once, of the keys
below (KEYS) and the checks: "expect.KEY = VALUE" (a fact equals VALUE),
"expect-contains.KEY = TEXT", "expect-same.KEY = OTHER" (two facts are equal) and
"expect-order.runN = A, B, ..." (events starting with A, B, ... happen in that order, within the
file clock's tick; an event only seen by a look happened between two looks, and counts as
ordered only when the whole span is); a "#..." suffix makes a key unique. A key or a check the
lab does not know, or a value a key does not take, fails the scenario before anything runs. A
run that did not start, or that the lab had to end, fails it unless the scenario expects exactly
that (expect.runN.started, expect.runN.timeout).
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time
import uuid

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                                'tests', 'inspect'))
from pe_file import PeFile  # noqa: E402
from wine_machine import Display, Machine, Wine, clone_prefix, ensure_template, windows_path  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PACKAGES = os.path.join(SOURCE, 'tests', 'lab', 'packages')
LAB_NAMESPACE = uuid.UUID('6f1c2d7e-3b0a-4c5e-9a43-2f8d61b0c5a7')

OUTLOOK_X64_COMPONENT = '{ECCC8A38-7855-46CA-88FB-3BAA7CD95E56}'
# The categories of Outlook's qualified components, and the qualifier of each architecture.
OUTLOOK_CATEGORIES = {
    '2016': '{5812C571-53F0-4467-BEFA-0A4F47A9437C}',
    '2013': '{E83B4360-C208-4325-9504-0D23003A74A5}',
}
OUTLOOK_QUALIFIERS = {'x86': 'outlook.exe', 'x64': 'outlook.x64.exe'}
EDITION_UPGRADE_CODES = {
    'german-x86': '{6513270E-269E-4D37-B2A7-4DE452E6B438}',
    'german-x64': '{36F675CC-81E7-4EF5-A8E2-5D940ED90475}',
    'polish-x86': '{D23F0824-128B-4F33-8C5C-7FD0A6A3A450}',
    'polish-x64': '{6B0D549B-6F03-475A-9600-A35A099950D8}',
}
# Per architecture: product code, package resource, runtime resource.
PROFILES = {
    'x86': ('{9531985D-5D9D-49F8-9818-E811892F902B}', 131, 148),
    'x64': ('{8D116ECE-1738-47D9-BD9C-172411E20B8F}', 134, 147),
}
# What a layout holds: every payload the setup carries, by resource.
CARRIED = {('MSI', 131): 'VsEnclosaSetup.msi', ('MSI', 134): 'VsEnclosaSetupx64.msi', ('EXE', 148): 'vc_redist86.exe',
           ('EXE', 147): 'vc_redist64.exe', ('EXE', 55001): 'WindowsInstaller-KB893803-v2-x86.exe'}
OUTLOOK_PROGRAM = r'C:\Program Files\Microsoft Office\Office14\outlook.exe'
SYSTEM_ENVIRONMENT = r'HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
APP_PATHS = r'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\outlook.exe'
# The setups built with an option ON, by the scenario key that runs them.
OPTION_IMAGES = {'setup.newer-outlook': 'newer-outlook', 'setup.current-windows': 'current-windows'}
BUILD_TARGETS = ['VsEnclosaSetupBoot', 'VsEnclosaSetupBoot_newer_outlook', 'VsEnclosaSetupBoot_current_windows', 'lab_driver', 'lab_planted', 'lab_repack', 'lab_tamper', 'outlook_standin']


class Each(tuple):
    """The values of a key that takes a comma-separated list: each item one of these."""


YES = ('yes', 'no')
NUMBER = re.compile(r'[0-9]+')
# Every key a scenario may hold: "machine" keys are read here, the machine is prepared from them
# before the driver runs; "run" keys, about the person and the run, are read by the driver
# (tests/lab/driver, lab_scenario.cpp, which knows its own); N stands for a run's number. Then
# the values a key takes (None: any), and what it says.
KEYS = {
    'title': ('run', None, 'what the scenario shows, for the transcript'),
    'i686': ('machine', YES, 'yes: the scenario also runs in the 32-bit tree (its CTest test lab.NAME)'),
    'outlook.components': ('machine', None, 'Outlook component codes a stand-in package installs (any of the six)'),
    'outlook.newer': ('machine', Each(('2016-x86', '2016-x64', '2013-x86', '2013-x64')),
                      'Outlook 2013 and later as Office publishes it, each a stand-in package that publishes the '
                      'qualifier outlook.exe (x86) or outlook.x64.exe (x64) in the category of Outlook 2016+ or 2013'),
    'setup.newer-outlook': ('machine', YES, 'yes: the setup built with VS_NEWER_OUTLOOK ON (app/newer-outlook/)'),
    'setup.current-windows': ('machine', YES, 'yes: the setup built with VS_CURRENT_WINDOWS ON (app/current-windows/)'),
    'display.dpi': ('machine', NUMBER, "the display's scale as Wine takes it (HKCU\\Control Panel\\Desktop\\LogPixels): "
                                       '144 is 150 %; the screen has as many more pixels (1920x1536 at 144)'),
    'editions': ('machine', Each(('german-x86', 'german-x64', 'polish-x86', 'polish-x64')),
                 'other-edition packages installed'),
    'this-edition': ('machine', ('x86', 'x64'), "this edition installed already (from the setup's own package)"),
    'outlook.program': ('machine', YES, "yes: the stand-in Outlook is installed as Outlook's program (App Paths)"),
    'outlook.running': ('machine', YES, 'yes: the stand-in Outlook runs before the setup starts (implies program)'),
    'outlook.instances': ('machine', NUMBER, 'how many of the stand-in Outlook run (1)'),
    'outlook.arguments': ('machine', None, "the stand-in Outlook's command line (--mode=close|ignore|ask "
                                           '--windows=N --linger=MS)'),
    'registry.initialized': ('machine', None, 'the value "Initialized" before the run (a number), or absent'),
    'payload.package': ('machine', ('fails', 'cancels'), 'the setup carries a package that ends that way'),
    'payload.runtime': ('machine', ('tamper',), 'the setup carries a runtime stand-in that tries to change its files'),
    'dlls.missing': ('machine', None, 'system DLLs (without .dll) that the setup cannot load'),
    'locale': ('machine', None, 'the Unix locale of the driver and the setup (ja_JP.UTF-8: code page 932)'),
    'setup.signed': ('machine', YES, 'yes: the setup is signed with a throw-away certificate; the fact '
                                     '"signature" tells whether osslsigncode verifies it'),
    'work.space': ('machine', None, "a size such as 8k: Windows' Temp folder is a volume (tmpfs) of that size"),
    'folders': ('machine', None, 'folders (C:\\..., separated by ";") made before the runs'),
    'layout.at': ('machine', None, 'a folder (C:\\...) a run\'s /layout writes: the facts "layout.files" and '
                                   '"layout.bytes" (whether they are exactly the payloads the setup carries)'),
    'runs': ('run', NUMBER, 'how often the setup runs, one run after the other'),
    'timeout': ('run', NUMBER, 'seconds a run may take before the lab ends it (120)'),
    'answers': ('run', None, "the person's answer to each window, in the order they appear: a button's caption, "
                             '"click CAPTION" for a real mouse click on it, or "close"'),
    'answers.runN': ('run', None, 'the answers of run N'),
    'arguments': ('run', None, "the setup's command line after its name"),
    'arguments.runN': ('run', None, 'the command line of run N'),
    'setup.log.at.runN': ('run', None, 'where run N\'s command line has the setup write its log: the facts '
                                       '"runN.setup.log" come from there, "runN.beside.log" names what appeared '
                                       'beside it; without it they come from the run\'s new log in Windows\' Temp'),
    'temp': ('run', None, 'the temporary folder: plain (the default), blanks, unwritable, trail-5c, cyrillic, '
                          'too-long, link (a directory link to another program\'s folder), or a folder C:\\...'),
    'temp.plant': ('run', YES, 'yes: a program where an unquoted line into the temporary folder would run one'),
    'temp.squat': ('run', None, "another program's file at this name in the temporary folder, held open"),
    'between-runs': ('run', ('spoil',), 'spoil: the files in the temporary folder are overwritten between runs'),
    'runtime.log': ('run', None, "the runtime stand-ins' log, when not in common application data"),
    'work.blocked': ('run', YES, "yes: a file where Windows' Temp folder should be"),
    'welcome.link': ('run', YES, 'yes: another program plants a link to a folder of its own into the welcome '
                                 'folder while the finish dialog is open'),
    'link.at': ('run', None, "another program's link to a folder of its own, C:\\VsLabElsewhere, planted "
                             'before the first run'),
}


class Scenario:
    def __init__(self, path):
        self.path = path
        self.name = os.path.splitext(os.path.basename(path))[0]
        self.values = {}
        with open(path, encoding='utf-8') as file:
            for number, line in enumerate(file, 1):
                line = line.strip()
                if not line or line.startswith('#'):
                    continue
                key, equals, value = line.partition('=')
                key, value = key.strip(), value.strip()
                problem = 'no "=" in %r' % line if not equals else key_problem(key, value)
                if not problem and key in self.values:
                    problem = '"%s" a second time' % key
                if problem:
                    raise ValueError('%s:%d: %s' % (path, number, problem))
                self.values[key] = value

    def get(self, key, fallback=''):
        return self.values.get(key, fallback)

    def items(self, key):
        return [item.strip() for item in self.get(key).split(',') if item.strip()]

    def prepared(self):
        """The keys the machine is prepared from here, which the driver leaves alone."""
        return [key for key in self.values if KEYS.get(generic_key(key), ('run',))[0] == 'machine']


def generic_key(key):
    """The key with a run's number written as N (answers.run2: answers.runN)."""
    return re.sub(r'(?<=\.run)[0-9]+$', 'N', key)


def key_problem(key, value):
    """What is wrong with a scenario's line: an unknown key or check, a value the key does not take."""
    kind, _, fact = key.partition('.')
    if kind.startswith('expect'):
        fact = fact.split('#')[0]
        if kind not in CHECKS:
            return 'unknown check "%s" (the checks: %s)' % (kind, ', '.join(CHECKS))
        if kind == 'expect-order' and not re.fullmatch(r'run[0-9]+', fact):
            return 'expect-order names a run (expect-order.runN), not "%s"' % fact
        return None if fact else '"%s" names no fact' % key
    known = KEYS.get(generic_key(key))
    if known is None:
        return 'unknown key "%s"' % key
    values = known[1]
    pattern = hasattr(values, 'fullmatch')
    given = [item.strip() for item in value.split(',') if item.strip()] if isinstance(values, Each) else [value]
    wrong = [item for item in given
             if values is not None and not (values.fullmatch(item) if pattern else item in values)]
    if wrong:
        return '"%s" takes %s, not "%s"' % (key, values.pattern if pattern else ', '.join(values), ', '.join(wrong))
    return None


class Build:
    """The programs the lab needs, from a build tree, and the Wine they run on."""

    def __init__(self, folder):
        self.folder = os.path.abspath(folder)
        self.wine = Wine.of_build(self.folder)
        self.setup = os.path.join(self.folder, 'app', 'VsEnclosaSetupBoot.exe')
        lab = os.path.join(self.folder, 'tests', 'lab')
        self.driver = os.path.join(lab, 'VsLabDriver.exe')
        self.repack = os.path.join(lab, 'VsLabRepack.exe')
        self.tamper = os.path.join(lab, 'VsLabTamper.exe')
        self.outlook = os.path.join(self.folder, 'tests', 'standins', 'outlook', 'outlook.exe')

    def missing(self):
        return [path for path in (self.setup, self.driver, self.repack, self.tamper, self.outlook)
                if not os.path.exists(path)]


def configure_and_build(folder):
    preset = 'win64' if os.path.basename(os.path.normpath(folder)) == 'win64' else 'win32'
    subprocess.run(['cmake', '--preset', preset, '-B', folder], cwd=SOURCE, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', folder, '-j2', '--target'] + BUILD_TARGETS, cwd=SOURCE, check=True)


def stand_in_package(folder, name, arch, upgrade=None, component=None, product=None, ending=None, published=None):
    """A small wixl package; ending "fails" or "cancels" adds a custom action that ends it so;
    published (category, qualifier) makes it publish its component as that qualified component."""
    def code(kind):
        return '{%s}' % str(uuid.uuid5(LAB_NAMESPACE, kind + ':' + name)).upper()
    path = os.path.join(folder, name + '.msi')
    subprocess.run(['wixl', '-a', arch, '-o', path,
                    '-D', 'ProductCode=' + (product or code('product')),
                    '-D', 'UpgradeCode=' + (upgrade or code('upgrade')),
                    '-D', 'ComponentGuid=' + (component or code('component')),
                    '-D', 'Name=Lab ' + name, '-D', 'Win64=' + ('yes' if arch == 'x64' else 'no'),
                    '-D', 'ProgramFiles=' + ('ProgramFiles64Folder' if arch == 'x64' else 'ProgramFilesFolder'),
                    os.path.join(PACKAGES, 'standin.wxs')], check=True, stderr=subprocess.DEVNULL, cwd=PACKAGES)
    sequence = "INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('LabEnding', '', 1501)"
    if ending == 'fails':
        action = ("INSERT INTO CustomAction (Action, Type, Source, Target) "
                  "VALUES ('LabEnding', 19, '', 'The lab package fails on purpose.')")
        subprocess.run(['msibuild', path, '-q', action, '-q', sequence], check=True)
    elif ending == 'cancels':
        tables = os.path.join(folder, name + '-tables')
        os.makedirs(os.path.join(tables, 'Binary'), exist_ok=True)
        shutil.copy(os.path.join(PACKAGES, 'cancel.js'), os.path.join(tables, 'Binary', 'cancel.js'))
        with open(os.path.join(tables, 'Binary.idt'), 'w', newline='\r\n') as idt:
            idt.write('Name\tData\ns72\tv0\nBinary\tName\nLabCancel\tcancel.js\n')
        action = ("INSERT INTO CustomAction (Action, Type, Source, Target) "
                  "VALUES ('LabEnding', 5, 'LabCancel', 'Cancel')")
        subprocess.run(['msibuild', path, '-i', os.path.join(tables, 'Binary.idt'), '-q', action, '-q', sequence],
                       check=True, cwd=tables)
    if published:
        publish(folder, name, path, *published)
    return path


def publish(folder, name, path, category, qualifier):
    """wixl has no element for a qualified component: msibuild adds the PublishComponent table and
    the actions that publish it on installation (6200, as Windows Installer orders them) and
    withdraw it on removal."""
    tables = os.path.join(folder, name + '-tables')
    os.makedirs(tables, exist_ok=True)
    with open(os.path.join(tables, 'PublishComponent.idt'), 'w', newline='\r\n') as idt:
        idt.write('ComponentId\tQualifier\tComponent_\tAppData\tFeature_\n'
                  's38\ts255\ts72\tL255\ts38\n'
                  'PublishComponent\tComponentId\tQualifier\tComponent_\n'
                  '%s\t%s\tStandIn\t\tStandIn\n' % (category, qualifier))
    sequence = "INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('%s', '', %d)"
    subprocess.run(['msibuild', path, '-i', os.path.join(tables, 'PublishComponent.idt'),
                    '-q', sequence % ('UnpublishComponents', 1700), '-q', sequence % ('PublishComponents', 6200)],
                   check=True, cwd=tables)


def install(machine, package):
    code, output = machine.run(['msiexec', '/i', windows_path(package), '/qn'], timeout=180)
    if code != 0:
        raise RuntimeError('installing %s on the machine failed (%d): %s' % (package, code, output))


def prepare_setup(scenario, build, machine, work):
    """The setup as the person downloaded it, with the payloads the scenario swaps in."""
    downloads = machine.user_folder('Downloads')
    os.makedirs(downloads, exist_ok=True)
    setup = os.path.join(downloads, 'VsEnclosaSetupBoot.exe')
    options = [OPTION_IMAGES[key] for key in OPTION_IMAGES if scenario.get(key) == 'yes']
    if len(options) > 1:
        raise ValueError('%s: one setup built with an option ON at a time, not %s' % (scenario.path, options))
    image = os.path.join(build.folder, 'app', options[0], 'VsEnclosaSetupBoot.exe') if options else build.setup
    if not os.path.exists(image):
        raise RuntimeError('not built: %s (a target of a tree with tests: %s)' % (image, ' '.join(BUILD_TARGETS)))
    shutil.copy(image, setup)
    swaps = []
    ending = scenario.get('payload.package')
    for arch, (product, package_id, runtime_id) in PROFILES.items():
        if ending:
            swaps.append(('MSI', package_id, stand_in_package(work, ending + '-' + arch, arch, product=product,
                                                              ending=ending)))
        if scenario.get('payload.runtime') == 'tamper':
            swaps.append(('EXE', runtime_id, build.tamper))
    for kind, identifier, payload in swaps:
        swapped = setup + '.new'
        code, output = machine.run([windows_path(build.repack), 'replace', windows_path(setup),
                                    windows_path(swapped), kind, str(identifier), windows_path(payload)])
        if code != 0 or not os.path.exists(swapped):
            raise RuntimeError('cannot swap %s %d (%d): %s' % (kind, identifier, code, output))
        os.replace(swapped, setup)
    if scenario.get('setup.signed') == 'yes':
        sign(setup, os.path.join(work, 'certificate'))
    return setup


def sign(setup, certificates):
    """Signs the setup with the build's own signing step and a throw-away certificate."""
    subprocess.run([os.path.join(SOURCE, 'tests', 'signing', 'make_test_certificate.sh'), certificates], check=True)
    subprocess.run(['cmake', '-DOSSLSIGNCODE=osslsigncode', '-DIMAGE=' + setup,
                    '-DPKCS12=' + os.path.join(certificates, 'signing.p12'),
                    '-DPASSWORD_FILE=' + os.path.join(certificates, 'password.txt'), '-DTIMESTAMP_URL=',
                    '-DNAME=Vostrel Outlook Enclosa', '-DURL=https://www.vostrel.example/freeware/outlook-enclosa/',
                    '-P', os.path.join(SOURCE, 'cmake', 'SignImage.cmake')], check=True, stdout=subprocess.DEVNULL)


def signature(setup, certificates):
    verified = subprocess.run(['osslsigncode', 'verify', '-CAfile', os.path.join(certificates, 'certificate.pem'),
                               '-in', setup], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if verified.returncode == 0:
        return 'verified'
    return 'not verified: ' + verified.stdout.strip().splitlines()[-1] if verified.stdout.strip() else 'none'


def prepare_machine(scenario, build, machine, work):
    """Packages, the registry value and a running Outlook, as the scenario describes them."""
    # The runtime stand-in stays half a second, so that the driver's look at the processes sees
    # it run. The setup gives it the system's variables only: the setting is one of the system's.
    code, output = machine.run(['reg', 'add', SYSTEM_ENVIRONMENT, '/v', 'VS_STANDIN_RUNTIME_STAY_MS', '/d', '500',
                                '/f'])
    if code != 0:
        raise RuntimeError('cannot set a system variable: ' + output)
    for index, component in enumerate(scenario.items('outlook.components'), 1):
        arch = 'x64' if component.upper() == OUTLOOK_X64_COMPONENT else 'x86'
        install(machine, stand_in_package(work, 'outlook-%d' % index, arch, component=component.upper()))
    for newer in scenario.items('outlook.newer'):
        version, arch = newer.split('-')
        install(machine, stand_in_package(work, 'outlook-' + newer, arch,
                                          published=(OUTLOOK_CATEGORIES[version], OUTLOOK_QUALIFIERS[arch])))
    for edition in scenario.items('editions'):
        arch = edition.rsplit('-', 1)[1]
        install(machine, stand_in_package(work, edition, arch, upgrade=EDITION_UPGRADE_CODES[edition]))
    this_edition = scenario.get('this-edition')
    if this_edition:
        package = os.path.join(work, 'this-edition.msi')
        code, output = machine.run([windows_path(build.repack), 'extract', windows_path(build.setup), 'MSI',
                                    str(PROFILES[this_edition][1]), windows_path(package)])
        if code != 0:
            raise RuntimeError('cannot take the package out of the setup: ' + output)
        install(machine, package)
    for dll in scenario.items('dlls.missing'):
        # An empty override is Wine's way of saying that the DLL is not there for this program.
        key = r'HKCU\Software\Wine\AppDefaults\VsEnclosaSetupBoot.exe\DllOverrides'
        code, output = machine.run(['reg', 'add', key, '/v', dll, '/t', 'REG_SZ', '/d', '', '/f'])
        if code != 0:
            raise RuntimeError('cannot take %s away: %s' % (dll, output))
    if scenario.get('display.dpi'):
        code, output = machine.run(['reg', 'add', r'HKCU\Control Panel\Desktop', '/v', 'LogPixels', '/t',
                                    'REG_DWORD', '/d', str(display_dpi(scenario)), '/f'])
        if code != 0:
            raise RuntimeError('cannot set the display scale: ' + output)
    initialized = scenario.get('registry.initialized', 'absent')
    if initialized != 'absent':
        code, output = machine.run(['reg', 'add', r'HKCU\Software\Vostrel\Outlook Enclosa', '/v', 'Initialized',
                                    '/t', 'REG_DWORD', '/d', initialized, '/f'])
        if code != 0:
            raise RuntimeError('cannot set "Initialized": ' + output)
    for folder in [item.strip() for item in scenario.get('folders').split(';') if item.strip()]:
        os.makedirs(on_drive_c(machine, folder), exist_ok=True)
    if scenario.get('outlook.program') == 'yes' or scenario.get('outlook.running') == 'yes':
        install_outlook_program(build, machine)
    if scenario.get('outlook.running') == 'yes':
        start_outlook(scenario, machine, work)


def display_dpi(scenario):
    dpi = scenario.get('display.dpi', '96')
    if not dpi.isdigit() or not 96 <= int(dpi) <= 480:
        raise ValueError('%s: display.dpi is a number from 96 to 480, not %r' % (scenario.path, dpi))
    return int(dpi)


def install_outlook_program(build, machine):
    office = machine.drive_c('Program Files', 'Microsoft Office', 'Office14')
    os.makedirs(office, exist_ok=True)
    shutil.copy(build.outlook, os.path.join(office, 'outlook.exe'))
    # Windows finds "outlook" under "App Paths\outlook.exe"; Wine's shell looks up the name as
    # given, so the machine carries both keys.
    for key in (APP_PATHS, APP_PATHS[:-len('.exe')]):
        code, output = machine.run(['reg', 'add', key, '/ve', '/t', 'REG_SZ', '/d', OUTLOOK_PROGRAM, '/f'])
        if code != 0:
            raise RuntimeError('cannot register Outlook: ' + output)


def start_outlook(scenario, machine, work):
    marker = os.path.join(work, 'outlook.log')
    instances = int(scenario.get('outlook.instances', '1'))
    for _ in range(instances):
        machine.start([OUTLOOK_PROGRAM] + scenario.get('outlook.arguments').split())
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        if os.path.exists(marker) and open(marker).read().count('started') >= instances:
            return
        time.sleep(0.2)
    raise RuntimeError('the stand-in Outlook did not start')


def mount_small_volume(folder, size):
    """A tmpfs of the given size over the folder, emptied: writes beyond it fail as on a full disk."""
    shutil.rmtree(folder)
    os.makedirs(folder)
    mounted = subprocess.run(['mount', '-t', 'tmpfs', '-o', 'size=' + size, 'tmpfs', folder],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if mounted.returncode != 0:
        raise RuntimeError('cannot mount a %s volume on %s (the lab runs as root): %s'
                           % (size, folder, mounted.stdout.strip()))


def unmount_all_below(folder):
    """Unmounts what a scenario mounted inside its machine, also after an earlier run that broke off."""
    with open('/proc/self/mounts') as mounts:
        points = [line.split()[1] for line in mounts]
    for point in points:
        if point.startswith(folder + os.sep):
            subprocess.run(['umount', '-l', point], check=False)


def on_drive_c(machine, path):
    """The host's path of a "C:\\..." path of the machine."""
    return machine.drive_c(*[part for part in path[3:].split('\\') if part])


def layout_facts(setup, machine, folder):
    """The files in a layout folder, and whether they are exactly the setup's payloads."""
    path = on_drive_c(machine, folder)
    with open(setup, 'rb') as image:
        resources = PeFile(image.read()).resources()
    carried = {CARRIED[(kind, number)]: data for (kind, number, _), data in resources.items()
               if (kind, number) in CARRIED}
    files = sorted(os.listdir(path)) if os.path.isdir(path) else []
    differ = sorted(set(files) ^ set(carried))
    for name in sorted(set(files) & set(carried)):
        with open(os.path.join(path, name), 'rb') as file:
            if file.read() != carried[name]:
                differ.append(name)
    return {'layout.files': ', '.join(files),
            'layout.bytes': 'as carried' if not differ else 'differ: ' + ', '.join(differ)}


def read_facts(path):
    facts = {}
    with open(path, encoding='utf-8', errors='replace') as file:
        for line in file:
            key, _, value = line.rstrip('\n').partition(' = ')
            facts[key] = value
    return facts


# File times come from the file system's clock, which runs up to one tick of the kernel behind
# the clock that stamps process starts and ends; events this close count as simultaneous.
CLOCK_TICK_MS = 15


def order_failure(fact, facts, wanted_events):
    """Whether events starting with the wanted texts happen in that order; gives the failure."""
    count = int(facts.get(fact + '.events', 0))
    times = [facts.get('%s.event%d.at' % (fact, i)) for i in range(1, count + 1)]
    if None in times:
        return 'the events carry no times'
    # An event only a look saw happened between the look before (since) and that look (at).
    events = [(facts['%s.event%d' % (fact, i)], int(facts.get('%s.event%d.since' % (fact, i), times[i - 1])),
               int(times[i - 1])) for i in range(1, count + 1)]
    used = set()
    last = 0
    for wanted in wanted_events:
        found = next((i for i, (text, since, at) in enumerate(events)
                      if i not in used and text.startswith(wanted) and since + CLOCK_TICK_MS >= last), None)
        if found is None:
            return 'no event "%s" surely after the ones before it' % wanted
        used.add(found)
        last = max(last, events[found][2])
    return None


# The checks: each compares a fact with the expected text and gives the failure, or None.
CHECKS = {
    'expect': lambda facts, fact, expected: (
        None if facts[fact] == expected else 'expected "%s", found "%s"' % (expected, facts[fact])),
    'expect-contains': lambda facts, fact, expected: (
        None if expected in facts[fact] else '"%s" not in "%s"' % (expected, facts[fact])),
    'expect-same': lambda facts, fact, other: (
        None if facts[fact] == facts.get(other) else
        '"%s" differs from %s "%s"' % (facts[fact], other, facts.get(other))),
    'expect-order': lambda facts, fact, expected: order_failure(fact, facts, [item.strip() for item in
                                                                              expected.split(',')]),
}


def check(scenario, facts):
    """The scenario's expectations against the facts; gives the failures."""
    failures = []
    for key, expected in scenario.values.items():
        kind, _, rest = key.partition('.')
        if kind not in CHECKS:
            continue
        fact = rest.split('#')[0]
        if fact not in facts and kind != 'expect-order':
            failures.append('%s: no such fact' % fact)
            continue
        failure = CHECKS[kind](facts, fact, expected)
        if failure:
            failures.append('%s: %s' % (fact, failure))
    return failures


def run_failures(scenario, facts):
    """Runs that did not start, or that the lab had to end, unless the scenario expects exactly that."""
    failures = []
    runs = int(facts.get('runs', 0))
    if runs != int(scenario.get('runs', '1')):
        failures.append('%d runs of %s' % (runs, scenario.get('runs', '1')))
    for number in range(1, runs + 1):
        run = 'run%d' % number
        if facts.get(run + '.started') != 'yes' and 'expect.%s.started' % run not in scenario.values:
            failures.append('%s: did not start (%s)' % (run, facts.get(run + '.started')))
        if facts.get(run + '.timeout') != 'no' and scenario.get('expect.%s.timeout' % run) != 'yes':
            failures.append('%s: did not end by itself, the lab ended it' % run)
    return failures


def run_scenario(scenario, build, lab_root, do_check):
    work = os.path.join(lab_root, 'machines', scenario.name)
    unmount_all_below(work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    display = Display(work, display_dpi(scenario))
    display.start()
    machine = None
    try:
        template = ensure_template(os.path.join(lab_root, 'template'), display.name, build.wine)
        # Every stand-in Outlook of the machine notes what happens to it, also one the shell starts.
        marker = os.path.join(work, 'outlook.log')
        machine = Machine(os.path.join(work, 'prefix'), display.name, build.wine,
                          {'VS_OUTLOOK_STANDIN_MARKER': windows_path(marker)})
        clone_prefix(template, machine.prefix)
        prepare_machine(scenario, build, machine, work)
        if scenario.get('work.space'):
            mount_small_volume(machine.drive_c('windows', 'temp'), scenario.get('work.space'))
        setup = prepare_setup(scenario, build, machine, work)
        out = os.path.join(work, 'out')
        timeout = 60 + int(scenario.get('timeout', '120')) * int(scenario.get('runs', '1'))
        locale = scenario.get('locale')
        code, output = machine.run([windows_path(build.driver), '--scenario', windows_path(scenario.path),
                                    '--setup', windows_path(setup), '--out', windows_path(out),
                                    '--prepared', ','.join(scenario.prepared())], timeout=timeout,
                                   extra_env={'LANG': locale, 'LC_ALL': locale} if locale else None)
        if code not in (0, 2) or not os.path.exists(os.path.join(out, 'facts.txt')):
            raise RuntimeError('the driver failed (%d): %s' % (code, output))
        facts = read_facts(os.path.join(out, 'facts.txt'))
        if scenario.get('setup.signed') == 'yes':
            facts['signature'] = signature(setup, os.path.join(work, 'certificate'))
        if scenario.get('layout.at'):
            facts.update(layout_facts(setup, machine, scenario.get('layout.at')))
        if os.path.exists(marker):
            facts['outlook'] = ' | '.join(line.split(' ')[0] if line.startswith('started') else line
                                          for line in open(marker).read().splitlines())
        # Nothing of the run may still be at work: the machine must fall idle by itself, unless
        # the scenario's own Outlook still runs (a person who kept it open).
        left = facts.get('run%s.processes.left' % facts.get('runs', '1'), '')
        if left:
            facts['machine.idle'] = 'no, still running: ' + left
        elif any(process.poll() is None for process in machine.background):
            facts['machine.idle'] = 'Outlook still running'
        else:
            facts['machine.idle'] = 'yes' if machine.wait_idle(30) else 'no'
        machine.stop()
        machine = None
        with open(os.path.join(out, 'transcript.txt'), encoding='utf-8', errors='replace') as transcript:
            print(transcript.read())
        if scenario.get('setup.signed') == 'yes':
            print('Signature of the setup: %s' % facts['signature'])
        print('Screenshots and facts: %s' % out)
        failures = run_failures(scenario, facts) + (check(scenario, facts) if do_check else [])
        for failure in failures:
            print('FAILED %s: %s' % (scenario.name, failure))
        return not failures
    finally:
        if machine:
            machine.stop()
        display.stop()
        unmount_all_below(work)


def prepare_template(lab_root, wine):
    folder = os.path.join(lab_root, 'template')
    os.makedirs(folder, exist_ok=True)
    display = Display(folder)
    display.start()
    try:
        ensure_template(folder, display.name, wine)
    finally:
        display.stop()


def main():
    keys = '\n'.join('  %-21s %s: %s' % (key, reader, text) for key, (reader, _, text) in KEYS.items())
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter,
                                     epilog='keys (machine: prepared here; run: read by the driver):\n' + keys)
    parser.add_argument('--build', default=os.path.join(SOURCE, 'build', 'win32'),
                        help='the build tree: win32 (the shipped image, the default) or win64')
    parser.add_argument('--configure', action='store_true', help='configure and build what the lab needs first')
    parser.add_argument('--check', action='store_true', help="compare the facts with the scenario's expectations")
    parser.add_argument('--template-only', action='store_true', help='only prepare the machine template')
    parser.add_argument('scenarios', nargs='*')
    arguments = parser.parse_args()
    lab_root = os.path.join(os.path.abspath(arguments.build), 'lab')
    if arguments.template_only:
        prepare_template(lab_root, Wine.of_build(arguments.build))
        return
    try:
        scenarios = [Scenario(path) for path in arguments.scenarios]
    except (OSError, ValueError) as error:
        sys.exit('lab: %s' % error)
    if arguments.configure:
        configure_and_build(arguments.build)
    build = Build(arguments.build)
    if build.missing():
        sys.exit('lab: not built yet: %s (build the targets %s)' % (', '.join(build.missing()),
                                                                    ' '.join(BUILD_TARGETS)))
    passed = True
    for scenario in scenarios:
        passed = run_scenario(scenario, build, lab_root, arguments.check) and passed
    sys.exit(0 if passed else 1)


if __name__ == '__main__':
    main()
