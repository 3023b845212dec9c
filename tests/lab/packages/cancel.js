// What Windows Installer hears when a person presses Cancel in a package's own dialog.
function Cancel() { return 2; }
