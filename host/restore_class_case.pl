#!/usr/bin/perl
# windres writes a control class given by name in capitals. The dialog manager
# matches class names whatever their case, but the template is meant to carry
# the name as the resource script writes it, so this puts it back, in place
# (the length doesn't change, so no offset in the file moves).
#
# usage: restore_class_case.pl FILE.res CLASS-NAME COUNT
# Fails unless the capitalised name occurs exactly COUNT times, so that a
# change in the compiler's habits can't slip through unnoticed.
use strict;
use warnings;

my ($file, $name, $count) = @ARGV;
die "usage: $0 FILE.res CLASS-NAME COUNT\n" unless defined $count;

sub utf16le { return join('', map { $_ . "\0" } split(//, $_[0])) . "\0\0"; }

open(my $in, '<:raw', $file) or die "$file: $!\n";
my $data = do { local $/; <$in> };
close($in);

my $from = utf16le(uc $name);
my $to = utf16le($name);
my $found = () = $data =~ /\Q$from\E/g;
die "$file: found the class $name $found times in capitals, expected $count\n" unless $found == $count;
$data =~ s/\Q$from\E/$to/g;

open(my $out, '>:raw', $file) or die "$file: $!\n";
print $out $data or die "$file: $!\n";
close($out) or die "$file: $!\n";
