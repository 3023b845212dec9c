"""Simulated Windows machines for the lab: Wine prefixes cloned from one prepared template,
each with its own wineserver and its own Xvfb display, so that scenarios can run side by side
without seeing each other's windows."""

import fcntl
import os
import shutil
import subprocess
import tempfile
import time



class Wine:
    """The Wine that runs a machine's programs: the host's wine64 (a 64-bit Windows), or, for a
    32-bit build tree, the emulated 32-bit Wine of scripts/setup-wine32.sh (a 32-bit Windows
    whose programs all run under qemu-i386, served by the host's wineserver)."""

    def __init__(self, wine32_home=None):
        self.emulated = bool(wine32_home)
        if self.emulated:
            self.loader = os.path.join(wine32_home, 'root', 'usr', 'lib', 'wine', 'wine')
            self.server = '/usr/lib/wine/wineserver64'
            self.environment = {'WINEARCH': 'win32', 'QEMU_LD_PREFIX': os.path.join(wine32_home, 'root'),
                                'WINESERVER': self.server}
        else:
            self.loader = '/usr/lib/wine/wine64'
            self.server = '/usr/lib/wine/wineserver'
            self.environment = {'WINEARCH': 'win64'}

    @staticmethod
    def of_build(folder):
        """The Wine of a build tree's test bed (scripts/wine-env.sh reads the same file)."""
        marker = os.path.join(folder, 'winebed', 'wine32')
        if not os.path.exists(marker):
            return Wine()
        with open(marker) as file:
            return Wine(file.read().strip())

# Large files that Wine only ever reads: a clone links them instead of copying ~700 MB.
SHARED_SUFFIXES = ('.dll', '.exe', '.drv', '.sys', '.ocx', '.acm', '.cpl', '.tlb', '.ax', '.ds', '.nls', '.ttf')


def windows_path(unix_path):
    """The Z: drive path of a file of the host, as Wine maps it."""
    return 'Z:' + os.path.abspath(unix_path).replace('/', '\\')


class Display:
    """An Xvfb server of its own, started like scripts/winebed.sh does; a display at another
    scale is the same screen with as many more pixels."""

    def __init__(self, folder, dpi=96):
        self.folder = folder
        self.size = '%dx%d' % (1280 * dpi // 96, 1024 * dpi // 96)
        self.process = None
        self.name = None

    def start(self):
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.folder, 'xvfb.log'), 'wb')
        self.process = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-screen', '0', self.size + 'x24', '-nolisten', 'tcp'],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
        os.close(write_end)
        number = b''
        deadline = time.monotonic() + 20
        with os.fdopen(read_end, 'rb') as pipe:
            while not number.endswith(b'\n') and time.monotonic() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.stop()
            raise RuntimeError('Xvfb did not start (see %s)' % os.path.join(self.folder, 'xvfb.log'))
        self.name = ':' + number.decode().strip()
        return self.name

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None


class Machine:
    """One Wine prefix with its own wineserver; every Windows program of a scenario runs here."""

    def __init__(self, prefix, display, wine, extra_env=None):
        self.prefix = prefix
        self.display = display
        self.wine = wine
        self.extra_env = extra_env or {}
        self.background = []

    def environment(self, extra=None):
        env = dict(os.environ)
        env.update(WINEPREFIX=self.prefix, WINEDEBUG='-all',
                   WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d', DISPLAY=self.display)
        env.update(self.wine.environment)
        env.update(self.extra_env)
        env.update(extra or {})
        return env

    def run(self, arguments, timeout=120, extra_env=None):
        """Runs a Windows program to its end; gives its exit code and output."""
        # Output goes to a file, not a pipe: a program it starts (Outlook) may inherit the
        # handle and keep a pipe open long after the program itself has ended.
        with tempfile.TemporaryFile() as output:
            process = subprocess.Popen([self.wine.loader] + arguments, env=self.environment(extra_env),
                                       stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT)
            try:
                code = process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
                raise
            output.seek(0)
            return code, output.read().decode(errors='replace')

    def start(self, arguments, extra_env=None):
        """Starts a Windows program that keeps running (Outlook); it ends with the machine."""
        process = subprocess.Popen([self.wine.loader] + arguments, env=self.environment(extra_env),
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        self.background.append(process)
        return process

    def drive_c(self, *parts):
        return os.path.join(self.prefix, 'drive_c', *parts)

    def user_folder(self, *parts):
        users = self.drive_c('users')
        names = [name for name in sorted(os.listdir(users)) if name != 'Public' and not os.path.islink(
            os.path.join(users, name))]
        return os.path.join(users, names[0], *parts)

    def stop(self, timeout=30):
        """Ends every process of the machine; true when its wineserver went away in time."""
        env = self.environment()
        subprocess.run([self.wine.server, '-k'], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            subprocess.run([self.wine.server, '-w'], env=env, timeout=timeout, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            stopped = True
        except subprocess.TimeoutExpired:
            stopped = False
        for process in self.background:
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        return stopped

    def wait_idle(self, timeout=60):
        """Waits until no program of the machine runs any more and its wineserver has ended."""
        try:
            subprocess.run([self.wine.server, '-w'], env=self.environment(), timeout=timeout,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            return True
        except subprocess.TimeoutExpired:
            return False


def ensure_template(folder, display, wine):
    """The prepared prefix every machine starts from, created once (wineboot takes a while)."""
    os.makedirs(folder, exist_ok=True)
    prefix = os.path.join(folder, 'prefix')
    ready = os.path.join(folder, 'ready')
    with open(os.path.join(folder, 'lock'), 'w') as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(ready):
            shutil.rmtree(prefix, ignore_errors=True)
            machine = Machine(prefix, display, wine)
            code, output = machine.run(['wineboot', '-i'], timeout=300)
            if code == 0:
                # No window manager runs on the lab's display: Wine draws title bars and frames
                # itself, so that pictures show windows as a person sees them.
                code, output = machine.run(['reg', 'add', r'HKCU\Software\Wine\X11 Driver', '/v', 'Managed',
                                            '/t', 'REG_SZ', '/d', 'N', '/f'])
            if not machine.wait_idle(120):
                machine.stop()
            if code != 0:
                raise RuntimeError('wineboot failed in %s:\n%s' % (prefix, output))
            open(ready, 'w').close()
    return prefix


def clone_prefix(template, target):
    """A machine of its own: program files linked from the template, everything else copied."""
    shutil.rmtree(target, ignore_errors=True)

    def copy(source, destination):
        if source.lower().endswith(SHARED_SUFFIXES) and os.path.getsize(source) > 65536:
            os.link(source, destination)
        else:
            shutil.copy2(source, destination)

    shutil.copytree(template, target, symlinks=True, copy_function=copy)
    # Wine links the user's Documents, Desktop, Downloads... to the host's home folder, which
    # every machine would share: each machine gets folders of its own.
    drive_c = os.path.join(target, 'drive_c')
    for folder, names, files in os.walk(drive_c):
        for name in names + files:
            path = os.path.join(folder, name)
            if os.path.islink(path) and os.path.isabs(os.readlink(path)):
                os.unlink(path)
                os.mkdir(path)
