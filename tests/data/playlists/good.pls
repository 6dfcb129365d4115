[Playlist]
NumberOfEntries=3
File1=C:\Music\one.mp3
Title1=First
File2=/music/two.ogg
Title2=
File10=/music/ten.mp3
File3=http://radio.example:8000/
Title3=Radio été
Version=2
