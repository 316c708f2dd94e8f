#!/usr/bin/env bash
# Drives the stand-in server with FreeTDS's tsql: logins, the database statements, two connections, a restart.
SERVER_EXE=$1
source "$(dirname "$0")/harness.sh"

PORT=$(free_port)
start_server "$PORT"
D=$(winpath "$WORK")

sql() { timeout 60 tsql -H 127.0.0.1 -p "$PORT" -U "${USER_NAME:-sa}" -P "${PASSWORD:-3917264}" "$@" 2>&1 || true; }

out=$(printf 'select 1 as one\ngo\n' | sql)
check "sa logs in" "$out" "one"
out=$(PASSWORD=wrong sql </dev/null)
check "a wrong password is refused with 18456" "$out" "Login failed for user 'sa'."
out=$(sql -D Nowhere </dev/null)
check "a missing initial database gives 4060" "$out" 'Cannot open database "Nowhere" requested by the login. The login failed.'

out=$(sql <<SQL
create database Zelto on (name=zelto_Data, filename='$D\\Zelto.mdf') log on (name=zelto_Log, filename='$D\\Zelto_log.ldf')
go
use Zelto
create table ApplicationInfo (Id int, Value nvarchar(50))
insert into ApplicationInfo values (1, N'۳.۲.۱'), (2, N'1402/01/01'), (3, N'1402/02/02')
go
use master
create database Copy on (name=Copy_data,filename='$D\\Copy_data.mdf')
go
backup database Zelto to disk='$D\\z.bak'
go
RESTORE FILELISTONLY FROM  DISK = N'$D\\z.bak' WITH  FILE = 1 ,  NOUNLOAD
go
SQL
)
check "create, insert and backup" "$out" "BACKUP DATABASE successfully processed"
check "file list of the backup" "$out" "zelto_Log	$D\\Zelto_log.ldf	L"
[[ -f $WORK/Copy_log.ldf ]] && echo "ok   - log of a created database beside its data file" ||
  { echo "FAIL - no $WORK/Copy_log.ldf"; failures=$((failures + 1)); }

# A second connection sits in Copy while the first tries to restore over it.
( printf 'use Copy\ngo\n'; sleep 6 ) | sql >/dev/null &
holder=$!
sleep 3
out=$(sql <<SQL
RESTORE DATABASE Copy FROM  DISK = N'$D\\z.bak' WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  REPLACE,  move 'zelto_Data' to '$D\\Copy_data.mdf', move 'zelto_log'  to '$D\\Copy_log.ldf'
go
SQL
)
check "restore over a database in use gives 3101" "$out" "Exclusive access could not be obtained because the database is in use."
wait "$holder" || true

out=$(sql <<SQL
Use Copy select  (select cast(fileName as varchar(260)) from sysfiles where name='zelto_Data' ), (select cast(fileName as varchar(260)) from sysfiles where name='Copy_data' ), (select cast(fileName as varchar(260)) from sysfiles where name='FileRepository_Data' )
go
 use master 
go
RESTORE DATABASE Copy FROM  DISK = N'$D\\z.bak' WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  REPLACE,  move 'zelto_Data' to '$D\\Copy_data.mdf', move 'zelto_log'  to '$D\\Copy_log.ldf'
go
use Copy
select Value from ApplicationInfo
go
SQL
)
# sysfiles.filename is nchar(260): the path comes back blank-padded to 260 characters.
check "the path query gives NULL for a missing logical name" "$out" "NULL	$(printf '%-260s' "$D\\Copy_data.mdf")	NULL"
check "restore reports progress" "$out" "10 percent processed."
check "restore completes" "$out" "RESTORE DATABASE successfully processed"
check "restored rows, Unicode intact" "$out" "۳.۲.۱"

# TDS 7.0 has no collations in its text column descriptions.
out=$(printf 'use Copy\nselect Id, Value from ApplicationInfo order by Id\ngo\n' | TDSVER=7.0 sql -o v)
check "TDS 7.0 is the version spoken" "$out" "using TDS version 7.0"
check "TDS 7.0 reads nvarchar columns" "$out" "2	1402/01/01"
check "TDS 7.0 reads Unicode text" "$out" "۳.۲.۱"

out=$(sql <<SQL
exec sp_detach_db 'Copy'
go
EXEC sp_attach_db @dbname = 'Copy',@filename1 = '$D\\Copy_data.mdf'
go
select name from sysdatabases where name='Copy'
go
RESTORE FILELISTONLY FROM  DISK = N'$D\\nothing.bak' WITH  FILE = 1 ,  NOUNLOAD
go
SQL
)
check "detach then attach" "$out" "Copy"
check "a missing backup file gives 3201" "$out" "Cannot open backup device '$D\\nothing.bak'. Operating system error 2(The system cannot find the file specified.)."

stop_server
out=$(printf 'select 1\ngo\n' | sql)
check "a stopped server refuses connections" "$out" "There was a problem connecting to the server"
start_server "$PORT"
out=$(printf "use Zelto\nselect Value from ApplicationInfo where Id = 2\ngo\nselect name from sysdatabases order by dbid\ngo\n" | sql)
check "the catalogue survives a restart" "$out" "Copy"
check "and so do the rows" "$out" "1402/01/01"

out=$(USER_NAME=zlt sql -D Zelto <<<$'select * from ApplicationInfo\ngo\n')
check "zlt reads the sample table" "$out" "1402/02/02"

finish
