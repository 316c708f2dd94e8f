#!/usr/bin/env bash
# Drives the stand-in server through the FreeTDS ODBC driver with unixODBC's isql.
SERVER_EXE=$1
source "$(dirname "$0")/harness.sh"

PORT=$(free_port)
start_server "$PORT"
D=$(winpath "$WORK")
export ODBCSYSINI=$WORK
printf '[SQL Server]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so\n' >"$WORK/odbcinst.ini"

# -e: SQLExecDirect, so that each line goes to the server as a plain batch.
odbc() {
  local uid=$1 pwd=$2 db=${3:-master}
  timeout 60 isql -v -b -e -k "DRIVER={SQL Server};SERVER=127.0.0.1,$PORT;UID=$uid;PWD=$pwd;DATABASE=$db;TDS_Version=7.4" 2>&1 || true
}

out=$(odbc sa wrong </dev/null)
check "a wrong password is refused" "$out" "[FreeTDS][SQL Server]Login failed for user 'sa'."
out=$(odbc sa 3917264 Nowhere </dev/null)
check "a missing database is refused" "$out" "Cannot open database \"Nowhere\" requested by the login."

out=$(odbc sa 3917264 <<SQL
create database Zelto on (name=zelto_Data, filename='$D\\Zelto.mdf') log on (name=zelto_Log, filename='$D\\Zelto_log.ldf')
use Zelto create table ApplicationInfo (Id int, Value nvarchar(50)) insert into ApplicationInfo values (1, N'نسخه ۳'), (2, NULL), (3, '1402')
select Id, Value from ApplicationInfo where Id = 1 select count(*) as n from ApplicationInfo
backup database Zelto to disk='$D\\z.bak'
create database zelto
use Nowhere
select * from sysdatabases where name='Zelto'
SQL
)
check "Unicode text both ways" "$out" "نسخه ۳"
check "a second result set of the same batch" "$out" "| n "
check "backup messages arrive as information" "$out" "BACKUP DATABASE successfully processed"
check "an existing database gives 1801" "$out" "[FreeTDS][SQL Server]Database 'zelto' already exists. Choose a different database name."
check "a missing database gives 911" "$out" "[FreeTDS][SQL Server]Database 'Nowhere' does not exist. Make sure that the name is entered correctly."
check "the server's database list" "$out" "$D\\Zelto.mdf"

out=$(odbc sa 3917264 <<SQL
RESTORE FILELISTONLY FROM  DISK = N'$D\\z.bak' WITH  FILE = 1 ,  NOUNLOAD
RESTORE DATABASE Zelto FROM  DISK = N'$D\\z.bak' WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  REPLACE,  move 'zelto_Data' to '$D\\Zelto.mdf', move 'Nothing'  to '$D\\x.ldf'
RESTORE DATABASE Zelto FROM  DISK = N'$D\\Zelto_log.ldf' WITH  FILE = 1
SQL
)
check "file list rows" "$out" "SQLRowCount returns 2"
check "an unknown logical name gives 3234" "$out" "Logical file 'Nothing' is not part of database 'Zelto'. Use RESTORE FILELISTONLY to list the logical file names."
check "a file that is not a backup gives 3241" "$out" "The media family on device '$D\\Zelto_log.ldf' is incorrectly formed. SQL Server cannot process this media family."
check "and the restore ends with 3013" "$out" "RESTORE DATABASE is terminating abnormally."

out=$(odbc zlt 3917264 Zelto <<<"select * from ApplicationInfo")
check "the product login reads the sample table" "$out" "1402"

# Without -e isql prepares every statement: the driver sends sp_prepexec calls.
out=$(timeout 60 isql -v -b -k "DRIVER={SQL Server};SERVER=127.0.0.1,$PORT;UID=sa;PWD=3917264;DATABASE=Zelto" 2>&1 <<SQL || true
select Value from ApplicationInfo where Id = 3
select nosuch from ApplicationInfo
SQL
)
check "prepared statements run" "$out" "1402"
check "and report their errors" "$out" "[FreeTDS][SQL Server]Invalid column name 'nosuch'."

finish
