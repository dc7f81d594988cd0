# Installation rules and the Debian package (CPack).
