-- The suite's sample database in the first layout; @DATA@ is replaced by the server's data folder.
create database Zelto on (name=zelto_Data, filename='@DATA@\Zelto.mdf') log on (name=zelto_Log, filename='@DATA@\Zelto_log.ldf')
GO
use Zelto
create table ApplicationInfo (Id int primary key, Name nvarchar(50), Value nvarchar(100))
insert into ApplicationInfo values (1, N'Version', N'3.2.1.0')
insert into ApplicationInfo values (2, N'LastUpdate', N'1402/11/20')
insert into ApplicationInfo values (3, N'LastRestore', N'1402/12/05')
GO
