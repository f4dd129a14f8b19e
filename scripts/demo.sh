#!/usr/bin/env bash
# The main job on a built-in demo: a local server on 127.0.0.1 publishes version
# 2.0 while the run directory holds 1.0, and the updater runs there in this
# terminal. Enter answers OK, Esc answers Cancel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh linux
scripts/build.sh linux

demo=$(mktemp -d /tmp/velmora-demo.XXXXXX)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$demo"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$demo/www" "$demo/run"
# The publisher's side: the manifest in GBK, as a Chinese Windows would save it.
iconv -f UTF-8 -t GBK > "$demo/www/version.xml" <<XML
<?xml version="1.0" encoding="gb2312"?>
<最新版本>
  <版本信息 版本号="2.0" 下载地址="http://127.0.0.1:$port/Velmora-2.0.zip" 升级说明="修复了启动时偶尔崩溃的问题\r\新增中文界面\r\下载速度更快"/>
</最新版本>
XML
# The package: the new Velmora, its update.ini saying 2.0, and some assets.
python3 - "$demo/www/Velmora-2.0.zip" <<'PY'
import os, sys, zipfile
def entry(name, mode):
    info = zipfile.ZipInfo(name, date_time=(2026, 12, 1, 12, 0, 0))
    info.create_system, info.external_attr = 3, mode << 16  # made on Unix: the modes count
    return info
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(entry("update.ini", 0o100644), "[更新]\r\n地址=unused\r\n版本号=2.0\r\n".encode("gbk"))
    z.writestr(entry("Velmora.exe", 0o100755), "#!/bin/sh\necho 'Velmora 2.0 started' > \"$(dirname \"$0\")/velmora-started.txt\"\n")
    z.writestr(entry("data/assets.bin", 0o100644), os.urandom(4 * 1024 * 1024))
PY
# The user's side: the updater beside the program it keeps up to date.
cp build/linux/update "$demo/run/update"
printf '[更新]\r\n地址=http://127.0.0.1:%s/version.xml\r\n版本号=1.0\r\n' "$port" | iconv -f UTF-8 -t GBK > "$demo/run/update.ini"
cat > "$demo/run/Velmora.exe" <<'SH'
#!/bin/sh
echo "Velmora started" > "$(dirname "$0")/velmora-started.txt"
SH
chmod +x "$demo/run/Velmora.exe"

python3 scripts/demo_server.py "$demo/www" "$port" 300000 >/dev/null 2>&1 &
server=$!
until python3 -c "import socket; socket.create_connection(('127.0.0.1', $port))" 2>/dev/null; do sleep 0.1; done

echo "Run directory $demo/run: installed version 1.0; the server publishes 2.0."
echo "Enter answers OK (the package downloads over five connections), Esc answers Cancel."
status=0
"$demo/run/update" || status=$?
for _ in 1 2 3 4 5 6 7 8 9 10; do [ -e "$demo/run/velmora-started.txt" ] && break; sleep 0.1; done
echo
echo "The updater ended with exit code $status."
if [ -e "$demo/run/velmora-started.txt" ]; then echo "It started Velmora."; else echo "It did not start Velmora."; fi
[ -e "$demo/run/velmora-started.txt" ] && echo "Velmora says: $(cat "$demo/run/velmora-started.txt")"
echo "Installed version: $(iconv -f GBK -t UTF-8 "$demo/run/update.ini" | tr -d '\r' | sed -n 's/^版本号=//p')"
echo "Run directory now holds: $(cd "$demo/run" && find . -type f ! -name velmora-started.txt | sort | tr '\n' ' ')"
